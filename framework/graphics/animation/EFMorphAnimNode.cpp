#include "framework/graphics/animation/EFMorphAnimNode.h"

#include "datatypes/registry/DTDynamicInstanciator.h"

#include <new>

DT_IMPLEMENT_DYNAMIC_CLASS( EFMorphAnimNode, "EF_MORPH_ANIM_NODE", 81, IT_ANIM_NODE );

EFMorphAnimNode::EFMorphAnimNode() : EFAnimNode( OP_MorphAnim ) {
}

EFAnimNode * EFMorphAnimNode::ShallowCopy() {
	return CopyInto( new ( std::nothrow ) EFMorphAnimNode );
}
