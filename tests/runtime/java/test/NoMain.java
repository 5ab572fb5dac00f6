// Test class without any main method.
package test;

/** Has no entry point. */
public final class NoMain {
    private NoMain() {
    }

    /** Not an entry point. */
    public static int answer() {
        return 42;
    }
}
