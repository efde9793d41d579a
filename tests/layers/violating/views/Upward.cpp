// A view that includes the application: the layer check must refuse it.
#include "app/MainDlg.h"
#include "core/Vector3.h"
