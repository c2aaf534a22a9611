// placeholder until data/ lands
#include <gtest/gtest.h>
