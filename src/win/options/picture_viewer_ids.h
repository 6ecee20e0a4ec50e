// Ids of the picture viewer.
#pragma once

#define IDD_PICTURE_VIEWER 270
