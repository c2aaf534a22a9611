// placeholder, filled below
#include "model_test_support.h"
