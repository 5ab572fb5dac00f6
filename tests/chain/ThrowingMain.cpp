// Test library standing in for the application's native library: its main throws.
#include <jni.h>

extern "C" JNIEXPORT void JNICALL Java_com_vantrel_bitmorph_Bitmorph_main(JNIEnv *env, jclass, jobjectArray) {
  if (jclass cls = env->FindClass("java/lang/IllegalStateException"))
    env->ThrowNew(cls, "main failed on purpose");
}
