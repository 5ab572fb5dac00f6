// Test class whose main is ordinary bytecode (which the stand-in runtime does not execute).
package test;

/** A plain Java entry point. */
public final class BytecodeMain {
    private BytecodeMain() {
    }

    /** Prints its argument count. */
    public static void main(String[] args) {
        System.out.println("bytecode main " + args.length);
    }
}
