#include "framework/graphics/animation/EFTexFader.h"

EFTexFader::EFTexFader() {
}

EFTexFader::~EFTexFader() {
	EFTexFader_SP::Terminate();
}
