// The module's static objects, defined in this one translation unit so that
// C++ constructs them top to bottom and destroys them in reverse. Each
// gatherer takes the next registry slot as it is built, so this order is the
// index order the host sees.
#include "framework/GathererRegistry.h"
