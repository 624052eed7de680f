#include "views/webcalc.h"
