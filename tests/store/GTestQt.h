#pragma once
// Qt values print readably in failure messages through tests/support/QtPrinters.h, which every
// GoogleTest executable includes first.
#include "QtPrinters.h"
