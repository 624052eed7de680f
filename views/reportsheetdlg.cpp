#include "views/reportsheetdlg.h"
