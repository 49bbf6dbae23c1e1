#include "framework/graphics/animation/EFTextureAnimNode.h"

#include "datatypes/registry/DTDynamicInstanciator.h"

#include <new>

DT_IMPLEMENT_DYNAMIC_CLASS( EFTextureAnimNode, "EF_TEXT_ANIM_NODE", 84, IT_ANIM_NODE );

EFTextureAnimNode::EFTextureAnimNode() : EFAnimNode( OP_TextAnim ), mpNextPlaying( nullptr ) {
}

void EFTextureAnimNode::ApplyText( u32 ) {
}

void EFTextureAnimNode::RestoreText( u32 ) {
}

EFAnimNode * EFTextureAnimNode::ShallowCopy() {
	return CopyInto( new ( std::nothrow ) EFTextureAnimNode );
}
