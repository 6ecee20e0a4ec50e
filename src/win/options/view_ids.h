// Ids of the picture viewer.
#pragma once

#define IDD_VIEW 270
