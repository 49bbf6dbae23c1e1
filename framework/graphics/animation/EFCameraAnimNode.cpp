#include "framework/graphics/animation/EFCameraAnimNode.h"

#include "datatypes/registry/DTDynamicInstanciator.h"

#include <new>

DT_IMPLEMENT_DYNAMIC_CLASS( EFCameraAnimNode, "EF_CAMERA_ANIM_NODE", 83, IT_ANIM_NODE );

EFCameraAnimNode::EFCameraAnimNode() : EFAnimNode( OP_Camera ) {
}

EFAnimNode * EFCameraAnimNode::ShallowCopy() {
	return CopyInto( new ( std::nothrow ) EFCameraAnimNode );
}
