// The shared interaction state and its start values.
#include "app/globals.h"

mode_state the_mode = create;
edit_state edit_mode = no;
render_state rmode = PW;
modify_mode move_m = translate;

IDirect3DRM* lpD3DRM = nullptr;
