#include "app/sequenceview.h"
