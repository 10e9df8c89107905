// The one application object of the program.
#include "app/player_app.h"

CPlayerApp theApp;
