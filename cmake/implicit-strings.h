// Included first into every Release translation unit. The C++ library instantiates its strings
// once, all members together, and a program that uses a string links the whole instance. Without
// the library's extern declarations of those instances, a program gets only the members it calls
// (and the linker drops the rest).
#include <bits/c++config.h>
#undef _GLIBCXX_EXTERN_TEMPLATE
#define _GLIBCXX_EXTERN_TEMPLATE -1 // -1: no extern templates for basic_string only
