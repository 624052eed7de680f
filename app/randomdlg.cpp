#include "app/randomdlg.h"
