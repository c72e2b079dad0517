#pragma once
#include "ui/reports/itemisedlist.h"
