// The whole application framework in one include.
#pragma once

#include "framework/app.h"
#include "framework/controls.h"
#include "framework/dialog.h"
#include "framework/dialog_template.h"
#include "framework/filefind.h"
#include "framework/gdi.h"
#include "framework/handle.h"
#include "framework/object.h"
#include "framework/thread.h"
#include "framework/trace.h"
#include "framework/wnd.h"
