// A main class of the application's name without any main method (failure-path tests).
package com.vantrel.bitmorph;

/** Has no entry point. */
public final class Bitmorph {
    private Bitmorph() {
    }
}
