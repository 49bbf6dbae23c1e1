#include "framework/graphics/animation/EFCameraAnimNode.h"

#include "datatypes/base/DTByteOrder.h"
#include "datatypes/maths/DTFrame.h"
#include "datatypes/maths/DTMatrix.h"
#include "datatypes/node/DTAnimHdr.h"
#include "datatypes/node/DTFCurve.h"
#include "datatypes/registry/DTDynamicInstanciator.h"
#include "framework/graphics/EFCamera.h"
#include "graphics3d/core/RwFrame.h"

#include <cmath>
#include <cstring>
#include <new>

DT_IMPLEMENT_DYNAMIC_CLASS( EFCameraAnimNode, "EF_CAMERA_ANIM_NODE", EF_CAMERA_ANIM_NODE_CLASS_ID, IT_ANIM_NODE );

namespace {

constexpr u32 SET_HEAD_BYTES		= 8;
constexpr u32 SET_CHANNELS			= 4;
constexpr u32 CHANNEL_BYTES			= 8;
constexpr u32 CHANNEL_TARGET_MASK	= 0x00FFFFFF;
constexpr u32 TARGET_POSITION_X		= 3;
constexpr u32 TARGET_ROTATION_X		= 6;
constexpr u32 TARGET_ROTATION_Y		= 7;
constexpr u32 TARGET_ROTATION_Z		= 8;
constexpr f32 PI					= 3.14159265f;

}

EFCameraAnimNode::EFCameraAnimNode() : EFAnimNode( OP_Camera ), mpCamera( nullptr ) {
}

EFAnimNode * EFCameraAnimNode::ShallowCopy() {
	return CopyInto( new ( std::nothrow ) EFCameraAnimNode );
}

bool EFCameraAnimNode::Initialize( DTCreationParameters * params ) {
	const bool result = EFAnimNode::Initialize( params );
	const u8 * const data = GetAnimData();
	if ( data != nullptr ) {
		mfDuration = DTReadBEF32( data + EF_ANIM_DATA_DURATION );
	}
	return result;
}

void EFCameraAnimNode::Connect( EFPosData * target ) {
	if ( target != nullptr && ( target->GetUID() >> 24 ) == EF_CAMERA_ID_KIND ) {
		mpCamera = static_cast<EFCamera *>( target );
	}
}

bool EFCameraAnimNode::Stop() {
	LeaveParent();
	return EFAnimNode::Stop();
}

f32 EFCameraAnimNode::Update( const f32 dt, DTWorkMemory & ) {
	const u8 * const data = GetAnimData();
	DTFrame * const frame = mpCamera != nullptr ? mpCamera->GetFrame() : nullptr;
	if ( frame == nullptr ) {
		return 0.0f;
	}
	AdvanceTime( dt );
	f32 values[6] = {};
	bool rotated = false;
	const u32 size = GetAnimDataSize();
	const u32 sets = data != nullptr ? data[DT_ANIM_HDR_TRACK_COUNT_OFFSET] : 0;
	u32 position = EF_ANIM_DATA_HEADER;
	for ( u32 set = 0; set < sets && position + SET_HEAD_BYTES <= size; set++ ) {
		const u32 channels = DTReadBE16( data + position + SET_CHANNELS );
		const u32 first = position + SET_HEAD_BYTES;
		position = first + channels * CHANNEL_BYTES;
		if ( position > size ) {
			break;
		}
		for ( u32 c = 0; c < channels; c++ ) {
			const u8 * const channel = data + first + c * CHANNEL_BYTES;
			const u32 target = DTReadBE32( channel ) & CHANNEL_TARGET_MASK;
			const u32 offset = DTReadBE32( channel + 4 );
			if ( offset >= size || ( target < TARGET_POSITION_X || ( target > TARGET_ROTATION_Z && target != EF_CAMERA_TARGET_FOCAL ) ) ) {
				continue;
			}
			const f32 value = DTFCurve( data + offset, size - offset ).Evaluate( mfCurrentTime );
			switch ( target ) {
			case TARGET_ROTATION_X:
				values[3] = -value;
				rotated = true;
				break;
			case TARGET_ROTATION_Y:
				values[4] = PI + value;
				rotated = true;
				break;
			case TARGET_ROTATION_Z:
				values[5] = value;
				rotated = true;
				break;
			case EF_CAMERA_TARGET_FOCAL:
				mpCamera->SetFOV( 2.0f * std::atan( EF_CAMERA_HALF_FILM / value ) );
				break;
			default:
				values[target - TARGET_POSITION_X] = value;
				break;
			}
		}
	}
	RwMatrix & m = frame->GetRwFrame()->modelling;
	if ( rotated ) {
		DTMatrix rotation;
		std::memset( static_cast<void *>( &rotation ), 0, sizeof( rotation ) );
		rotation.SetToRotation( DTVector3d( values[3], values[4], values[5] ) );
		m.right = rotation.oMat.right;
		m.up = rotation.oMat.up;
		m.at = rotation.oMat.at;
	}
	m.pos = { values[0], values[1], values[2] };
	RwFrameUpdateObjects( frame->GetRwFrame() );
	EndTest();
	return 0.0f;
}
