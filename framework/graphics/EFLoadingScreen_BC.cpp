#include "framework/graphics/EFLoadingScreen_BC.h"

EFLoadingScreen_BC::EFLoadingScreen_BC() : mfProgress( 0.0f ), mui32UpdateCount( 0 ) {
}

EFLoadingScreen_BC::~EFLoadingScreen_BC() {
}
