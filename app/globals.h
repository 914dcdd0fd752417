// The editor's interaction state shared by the model, the views and the main window.
#pragma once

class IDirect3DRM;

// What a left click in a view does.
enum mode_state { create, edit, annimate, texturemap };
// What edit mode works on.
enum edit_state { no, points, faces, sides, facnom, vernom };
// The render command in force: 272 + rmode.
enum render_state { PW, PWM, M, WFP, WF, BF };
// What a drag of selected points or of the camera does.
enum modify_mode { translate, rotate, scale, uniform_scale, translatecam, rotatecam, none };

extern mode_state the_mode;   // create at start
extern edit_state edit_mode;  // no at start
extern render_state rmode;    // PW at start
extern modify_mode move_m;    // translate at start

// The retained-mode root object; made at start-up, released at shutdown.
extern IDirect3DRM* lpD3DRM;
