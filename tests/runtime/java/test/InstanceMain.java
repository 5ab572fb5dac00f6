// Test class whose main(String[]) is not static.
package test;

/** Declares main as an instance method. */
public final class InstanceMain {
    /** Not a valid entry point: it is not static. */
    public void main(String[] args) {
        System.out.println(args.length);
    }
}
