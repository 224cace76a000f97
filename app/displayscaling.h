#pragma once

// High-DPI screens scale the whole window, under Qt 5 as Qt 6 does by default, and both round
// the scale factor alike, so the form keeps its proportions at any scale. Call before the
// application object exists.
void enableDisplayScaling();
