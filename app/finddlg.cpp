#include "app/finddlg.h"
