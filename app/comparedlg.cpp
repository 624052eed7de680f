#include "app/comparedlg.h"
