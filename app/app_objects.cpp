// The long-lived objects of the later subsystems that the shell creates with the process.
#include "model/selection_box.h"
#include "texture/texture.h"

Texture texture;
SelectionBox selectionbox;
