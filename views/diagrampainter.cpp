#include "views/diagrampainter.h"
