#include "app/optionsdlg.h"
