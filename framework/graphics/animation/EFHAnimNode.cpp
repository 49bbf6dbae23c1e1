#include "framework/graphics/animation/EFHAnimNode.h"

#include "datatypes/registry/DTDynamicInstanciator.h"

#include <new>

DT_IMPLEMENT_DYNAMIC_CLASS( EFHAnimNode, "EF_ANIM_NODE", 74, IT_ANIM_NODE );

EFHAnimNode::EFHAnimNode() : EFAnimNode( OP_HAnim ) {
}

EFAnimNode * EFHAnimNode::ShallowCopy() {
	return CopyInto( new ( std::nothrow ) EFHAnimNode );
}
