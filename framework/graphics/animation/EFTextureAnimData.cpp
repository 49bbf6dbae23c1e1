#include "framework/graphics/animation/EFTextureAnimData.h"

EFTextureAnimData::EFTextureAnimData() : EFAnimNode( OP_TextAnim ) {
}
