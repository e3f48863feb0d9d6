// The whole application framework in one include.
#pragma once

#include "app.h"
#include "controls.h"
#include "dialog.h"
#include "dialog_template.h"
#include "filefind.h"
#include "gdi.h"
#include "handle.h"
#include "object.h"
#include "thread.h"
#include "trace.h"
#include "wnd.h"
