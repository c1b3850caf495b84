// The four parameter pages, as the window creates them.
#pragma once

#include "BrakePage.h"
#include "PageBase.h"
#include "SettingPage.h"
#include "ThrottlePage.h"
#include "TimingPage.h"
