// The system's default mail client, for the icon of a button assigned "KVKMail".
#pragma once

#include "framework/Afx.h"

// The client's name; empty when none is set or readable.
CString GetDefaultMailClient();
// The command line that opens it; empty when none is found.
CString GetDefaultMailCommand();
