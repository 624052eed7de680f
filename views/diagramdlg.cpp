#include "views/diagramdlg.h"
