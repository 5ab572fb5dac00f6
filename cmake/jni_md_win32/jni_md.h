/* Machine-dependent JNI types for the MinGW-w64 (Windows x86-64) build: used together with
   the JDK's portable jni.h, whose Linux companion header does not fit the Windows ABI. */
#ifndef BITMORPH_JNI_MD_WIN32_H
#define BITMORPH_JNI_MD_WIN32_H

/* A native library exports its JNI entries; the runtime imports them. */
#define JNIEXPORT __declspec(dllexport)
#define JNIIMPORT __declspec(dllimport)
/* The JNI calling convention is stdcall, which x86-64 ignores (one convention only). */
#define JNICALL __stdcall

/* Windows is LLP64: long stays 32 bits, so jint is a long (as the JNI ABI fixes it) and
   jlong needs long long. */
typedef long jint;
typedef long long jlong;
typedef signed char jbyte;

#endif /* BITMORPH_JNI_MD_WIN32_H */
