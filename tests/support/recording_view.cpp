#include "support/recording_view.h"
