#include "framework/audio/GCReverb.h"

GCReverb::GCReverb() : moParameters{ 0.0f, 0.0f, 0.01f, 0.0f, 0.0f, 0.0f } {
}

GCReverb::~GCReverb() {
}
