/*
 * far, near and huge, the pointer sizes of DOS-era compilers, as nothing
 * where the compiler does not know them: programs of that era declare
 * pointers with them.
 */
#ifndef BGI_FAR_H
#define BGI_FAR_H

#ifndef far
#define far
#endif
#ifndef near
#define near
#endif
#ifndef huge
#define huge
#endif

#endif
