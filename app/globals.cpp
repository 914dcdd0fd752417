// The shared interaction state and its start values.
#include "app/globals.h"

mode_state the_mode = create;
edit_state edit_mode = no;
render_state rmode = PW;
modify_mode move_m = translate;
modify_mode prem_m = translate;
bool ctrl = false;
int selected_index = -1;
bool inspace = false;
bool intex = false;

IDirect3DRM* lpD3DRM = nullptr;
HWND main_window = nullptr;
MeshTexture mesh_texture;
IDirectDrawClipper* lpDDClipper = nullptr;

_myglobs myglobs = {};

bool initdone = false;
bool viewportcreated = false;
bool awaitingfeedback = false;
HWND hwndToolBar = nullptr;
