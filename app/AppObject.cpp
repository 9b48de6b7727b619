// The one application object. It lives apart from the class so that tests can make their own.
#include "app/ButtonConfigApp.h"

CButtonConfigApp theApp;
