#pragma once
#include "itemisedlist.h"
