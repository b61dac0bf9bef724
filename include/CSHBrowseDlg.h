// placeholder, filled by the window helpers
#pragma once
