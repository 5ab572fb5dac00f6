// The application's main class: its main is native and lives in the application's library.
package com.vantrel.bitmorph;

import java.io.File;
import java.net.URISyntaxException;
import java.security.CodeSource;

/**
 * Entry class of the flash-image converter. The conversion itself is native code; this
 * class only loads the application's library from the folder of the archive it was
 * loaded from and hands the command line to it.
 */
public final class Bitmorph {
    /** Base name of the application's native library (also named in the archive's manifest). */
    static final String NATIVE_LIBRARY = "bitmorphjni";

    static {
        System.load(new File(archiveFolder(), System.mapLibraryName(NATIVE_LIBRARY)).getAbsolutePath());
    }

    private Bitmorph() {
    }

    /** Folder of the jar (or class folder) this class was loaded from. */
    private static File archiveFolder() {
        CodeSource source = Bitmorph.class.getProtectionDomain().getCodeSource();
        if (source == null) {
            throw new IllegalStateException("the location of the application archive is unknown");
        }
        try {
            File archive = new File(source.getLocation().toURI());
            return archive.isDirectory() ? archive : archive.getAbsoluteFile().getParentFile();
        } catch (URISyntaxException e) {
            throw new IllegalStateException("the location of the application archive is not a file", e);
        }
    }

    /**
     * Runs the converter with the command line. Returns when the conversion succeeded; any
     * other outcome ends the process with the converter's exit code.
     *
     * @param args the converter's arguments
     */
    public static native void main(String[] args);
}
