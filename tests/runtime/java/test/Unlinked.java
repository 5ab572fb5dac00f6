// Test class whose main is native code in the test library echojni.
package test;

import java.io.File;

/** Loads the test library from the folder of its archive, as the application's class does. */
public final class Unlinked {
    static {
        File archive;
        try {
            archive = new File(Unlinked.class.getProtectionDomain().getCodeSource().getLocation().toURI());
        } catch (java.net.URISyntaxException e) {
            throw new IllegalStateException(e);
        }
        System.load(new File(archive.getAbsoluteFile().getParentFile(), System.mapLibraryName("echojni")).getPath());
    }

    private Unlinked() {
    }

    /** Native entry. */
    public static native void main(String[] args);
}
