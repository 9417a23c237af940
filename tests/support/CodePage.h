// Whether the local code page is Windows-1252, for tests that check exact
// converted bytes.
#pragma once

bool LocalCodePageIs1252();
