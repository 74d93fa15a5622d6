#pragma once

#include "config/Config.h"
#include "pages/GridSet.h"

// The verbatim copy between the grids and the configuration record: no
// trimming, no checks, no list-to-code conversion. The scanner settings and the
// title row and column are never touched.
void GridsToConfig(const GridSet &grids, TConfig &cfg);
void ConfigToGrids(const TConfig &cfg, const GridSet &grids);
