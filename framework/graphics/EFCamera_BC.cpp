#include "framework/graphics/EFCamera_BC.h"

EFCamera_BC::EFCamera_BC( DTFrame* frame ) {
	CreateFrame( frame );
}

EFCamera_BC::~EFCamera_BC() {
}
