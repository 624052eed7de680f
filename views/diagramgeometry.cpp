#include "views/diagramgeometry.h"
