#include "framework/graphics/animation/EFHAnimNode.h"

#include "datatypes/base/DTByteOrder.h"
#include "datatypes/base/DTFloatToInt.h"
#include "datatypes/descriptor/DTAnimDescriptor.h"
#include "datatypes/maths/DTTransfo.h"
#include "datatypes/memory/DTWorkMemory.h"
#include "datatypes/memory/MMMemory.h"
#include "datatypes/node/DTAnimHdr.h"
#include "datatypes/node/DTFCurve.h"
#include "datatypes/registry/DTDynamicInstanciator.h"
#include "framework/core/world/EFGameObject.h"
#include "framework/graphics/EF3dObj.h"
#include "framework/graphics/animation/EFAnimBlendNode.h"
#include "framework/graphics/animation/EFAnimCollPrim.h"
#include "framework/graphics/animation/EFHAnimRes.h"
#include "framework/physics/EFCPAnimCmdPair.h"
#include "framework/physics/EFCollisionPrimAnim.h"
#include "framework/physics/EFObjCollisionPrim.h"
#include "framework/physics/EFPhysic.h"
#include "graphics3d/core/RwFrame.h"
#include "graphics3d/world/RpAtomic.h"
#include "graphics3d/world/RpClump.h"
#include "graphics3d/world/RpHAnim.h"

#include <cstring>
#include <new>

DT_IMPLEMENT_DYNAMIC_CLASS( EFHAnimNode, "EF_ANIM_NODE", EF_HANIM_NODE_CLASS_ID, IT_ANIM_NODE );

namespace {

// Channel set layout: u32 joint, u16 channel count, u16 flags, channels
// of {u32 target (low 24 bits), u32 curve offset}.
constexpr u32 SET_HEAD_BYTES		= 8;
constexpr u32 SET_CHANNELS			= 4;
constexpr u32 SET_FLAGS				= 6;
constexpr u32 CHANNEL_BYTES			= 8;
constexpr u32 CHANNEL_TARGET_MASK	= 0x00FFFFFF;
constexpr u32 SOUND_UNRESOLVED		= 0xFFFFFFFF;
constexpr u32 JOINT_ID_BITS			= 0xFFFF0000;
constexpr u8 ROOT_JOINT				= 1;

RpAtomic * SetRenderFlag( RpAtomic * atomic, void * data ) {
	if ( data != nullptr ) {
		atomic->object.object.flags |= rpATOMICRENDER;
	} else {
		atomic->object.object.flags &= static_cast<u8>( ~rpATOMICRENDER );
	}
	return atomic;
}

void SetComponent( DTTransfo & transfo, const u32 target, const f32 value ) {
	DTVector3d * const vectors[3] = { &transfo.mScaling, &transfo.mTranslation, &transfo.mEulerRotation };
	DTVector3d & v = *vectors[target / 3];
	switch ( target % 3 ) {
	case 0:
		v.x = value;
		break;
	case 1:
		v.y = value;
		break;
	default:
		v.z = value;
		break;
	}
	transfo.muiState = ( transfo.muiState | EF_TRANSFO_EULER ) & ~EF_TRANSFO_QUAT_VALID;
}

}

EFHAnimNode::EFHAnimNode()
	: EFAnimNode( OP_HAnim ), muiCurCBCmd( 0 ), mppSoundRefs( nullptr ), muiNbSoundRefs( 0 ), moTransfo( AT_TRANSFO ),
	  moCollPrim( AT_COLLPRIM ) {
	moTransfo.mpNext = &moCollPrim;
	mpOutputList = &moTransfo;
}

EFHAnimNode::~EFHAnimNode() {
	MMFree( mppSoundRefs );
	mppSoundRefs = nullptr;
}

EFAnimNode * EFHAnimNode::ShallowCopy() {
	return CopyInto( new ( std::nothrow ) EFHAnimNode );
}

const EFHAnimRes * EFHAnimNode::GetHAnimRes() const {
	if ( mpAnimRes == nullptr || mpAnimRes->GetClassID() != EF_HANIM_RES_CLASS_ID ) {
		return nullptr;
	}
	return static_cast<const EFHAnimRes *>( mpAnimRes );
}

bool EFHAnimNode::Initialize( DTCreationParameters * params ) {
	EFAnimNode::Initialize( params );
	if ( params == nullptr || params->mpoExtraCreationParams == nullptr ) {
		return true;
	}
	const u8 * const data = GetAnimData();
	if ( data != nullptr ) {
		mfDuration = DTReadBEF32( data + EF_ANIM_DATA_DURATION );
	}
	MMFree( mppSoundRefs );
	mppSoundRefs = nullptr;
	muiNbSoundRefs = 0;
	// Class 74 is made only by the descriptor of an animation node.
	const DTAnimDescriptor * const descriptor = static_cast<const DTAnimDescriptor *>( params->mpoDescriptor );
	const u32 count = descriptor != nullptr ? descriptor->moSoundEventIDs.GetSize() : 0;
	if ( count == 0 || mpGameObjectOwner == nullptr ) {
		return true;
	}
	mppSoundRefs = static_cast<EFNewSoundMgr::SoundReference **>( MMMalloc( count * static_cast<u32>( sizeof( void * ) ) ) );
	if ( mppSoundRefs == nullptr ) {
		return true;
	}
	muiNbSoundRefs = count;
	for ( u32 i = 0; i < count; i++ ) {
		const u32 id = static_cast<u32>( descriptor->moSoundEventIDs[i] );
		mppSoundRefs[i] = id == SOUND_UNRESOLVED ? nullptr : mpGameObjectOwner->moNewSoundMgr.ResolveSoundEventID( id );
	}
	return true;
}

void EFHAnimNode::Play( const u32 flags, const f32 time ) {
	EFAnimNode::Play( flags, time );
	if ( mp3dObj != nullptr ) {
		mp3dObj->mui3dObjState |= EF_3D_OBJ_TRANSFO_DRIVEN;
	}
	SetCurCBCmd();
}

void EFHAnimNode::SetTime( const f32 time ) {
	mfCurrentTime = time;
	SetCurCBCmd();
}

void EFHAnimNode::SetCurCBCmd() {
	const EFHAnimRes * const res = GetHAnimRes();
	const u32 count = res != nullptr ? res->GetCommandCount() : 0;
	muiCurCBCmd = 0;
	while ( muiCurCBCmd < count && res->mpCommands[muiCurCBCmd].mfTime < mfCurrentTime ) {
		muiCurCBCmd++;
	}
}

bool EFHAnimNode::Stop() {
	LeaveParent();
	if ( ( moTransfo.muiState & EF_ATTRIB_OBJECT_ARRAY ) != 0 && mp3dObj != nullptr ) {
		mp3dObj->ReleaseTransfo( static_cast<DTTransfo *>( moTransfo.mpDataBlock ) );
	}
	moTransfo.mpDataBlock = nullptr;
	moTransfo.muiNbStruct = 0;
	moTransfo.muiState = 0;
	EFAnimNode::Stop();
	muiCurCBCmd = 0;
	return false;
}

void EFHAnimNode::AssignDataBlock( DTWorkMemory & workMemory ) {
	moCollPrim.mpDataBlock = nullptr;
	moCollPrim.muiNbStruct = 0;
	if ( ( moTransfo.muiState & EF_ATTRIB_OBJECT_ARRAY ) != 0 ) {
		return;
	}
	const u8 * const data = GetAnimData();
	const u32 count = data != nullptr ? data[DT_ANIM_HDR_TRACK_COUNT_OFFSET] : 0;
	DTTransfo * const locked = mp3dObj != nullptr ? mp3dObj->LockTransfo() : nullptr;
	if ( locked != nullptr ) {
		moTransfo.mpDataBlock = locked;
		moTransfo.muiState = EF_ATTRIB_OBJECT_ARRAY | EF_ATTRIB_SKELETAL;
		moTransfo.muiNbStruct = count;
	} else {
		moTransfo.mpDataBlock = count != 0 ? workMemory.Get( count * static_cast<u32>( sizeof( DTTransfo ) ) ) : nullptr;
		moTransfo.muiState = EF_ATTRIB_SKELETAL;
		moTransfo.muiNbStruct = moTransfo.mpDataBlock != nullptr ? count : 0;
	}
	if ( ( muiAnimState & AS_AT_END ) != 0 ) {
		muiAnimState |= AS_REFRESH;
	}
}

f32 EFHAnimNode::Update( const f32 dt, DTWorkMemory & workMemory ) {
	AssignDataBlock( workMemory );
	if ( ( muiAnimState & ( AS_AT_END | AS_REFRESH | AS_HOLD ) ) != 0 ) {
		const bool underBlend = mpParent != nullptr && static_cast<DTOperator *>( mpParent )->meType == OP_Blend;
		if ( ( muiAnimState & AS_AT_END ) != 0 && ( muiAnimState & AS_REFRESH ) == 0 && !underBlend ) {
			return 0.0f;
		}
		if ( ( moTransfo.muiState & EF_ATTRIB_OBJECT_ARRAY ) == 0 || ( muiAnimState & AS_REFRESH ) != 0 ) {
			UpdateHAnim();
			muiAnimState &= ~AS_REFRESH;
		}
		UpdateAnimPrimColl( workMemory );
		return 0.0f;
	}
	AdvanceTime( dt );
	UpdateHAnim();
	UpdateAnimPrimColl( workMemory );
	UpdateAnimCallback();
	EndTest();
	return 0.0f;
}

void EFHAnimNode::UpdateHAnim() {
	const u8 * const data = GetAnimData();
	DTTransfo * const block = static_cast<DTTransfo *>( moTransfo.mpDataBlock );
	if ( data == nullptr || block == nullptr || mp3dObj == nullptr ) {
		return;
	}
	const u32 size = GetAnimDataSize();
	const bool objectArray = ( moTransfo.muiState & EF_ATTRIB_OBJECT_ARRAY ) != 0;
	const u32 capacity = moTransfo.muiNbStruct;
	const u32 joints = mp3dObj->GetNbTransfo();
	const u32 sets = data[DT_ANIM_HDR_TRACK_COUNT_OFFSET];
	u32 position = EF_ANIM_DATA_HEADER;
	u32 written = 0;
	for ( u32 set = 0; set < sets && position + SET_HEAD_BYTES <= size; set++ ) {
		const u8 * const head = data + position;
		const u32 joint = DTReadBE32( head );
		const u32 channels = DTReadBE16( head + SET_CHANNELS );
		const u32 flags = DTReadBE16( head + SET_FLAGS );
		const u32 next = position + SET_HEAD_BYTES + channels * CHANNEL_BYTES;
		position = next;
		if ( next > size ) {
			break;
		}
		if ( joint >= joints || ( !objectArray && written >= capacity ) ) {
			continue;
		}
		DTTransfo & transfo = block[objectArray ? joint : written];
		if ( ( moTransfo.muiState & EF_ATTRIB_SKELETAL ) != 0 ) {
			transfo.ResetEuler( 1 );
		}
		for ( u32 c = 0; c < channels; c++ ) {
			const u8 * const channel = head + SET_HEAD_BYTES + c * CHANNEL_BYTES;
			const u32 target = DTReadBE32( channel ) & CHANNEL_TARGET_MASK;
			const u32 offset = DTReadBE32( channel + 4 );
			if ( target > EF_HANIM_TARGET_VISIBILITY || offset >= size ) {
				continue;
			}
			const f32 value = DTFCurve( data + offset, size - offset ).Evaluate( mfCurrentTime );
			if ( target == EF_HANIM_TARGET_VISIBILITY ) {
				SetVisible( DTFloatToU32( value ) != 0 );
			} else {
				SetComponent( transfo, target, value );
			}
		}
		transfo.muiJointIndex = joint;
		if ( joint == 0 && data[EF_ANIM_DATA_ROOT] == ROOT_JOINT ) {
			transfo.muiState |= EF_TRANSFO_ROOT;
		}
		written++;
		if ( ( flags & EF_HANIM_SET_SCALE_COMPENSATE ) == 0 || !ScaleCompensate( transfo, written ) ) {
			transfo.muiState &= ~EF_TRANSFO_INVERSE_SCALE;
		}
	}
	if ( !objectArray ) {
		moTransfo.muiNbStruct = written;
	}
}

void EFHAnimNode::SetVisible( const bool visible ) {
	if ( visible ) {
		mp3dObj->mui3dObjState |= EF_3D_OBJ_VISIBLE;
	} else {
		mp3dObj->mui3dObjState &= ~EF_3D_OBJ_VISIBLE;
	}
	if ( mp3dObj->mpClump != nullptr ) {
		RpClumpForAllAtomics( mp3dObj->mpClump, &SetRenderFlag, visible ? mp3dObj : nullptr );
	}
}

bool EFHAnimNode::ScaleCompensate( DTTransfo & transfo, const u32 written ) {
	const RpHAnimHierarchy * const hierarchy = mp3dObj->mpHierarchy;
	if ( ( mp3dObj->mui3dObjState & EF_3D_OBJ_HAS_HIERARCHY ) == 0 || hierarchy == nullptr || hierarchy->pNodeInfo == nullptr ) {
		return false;
	}
	const u32 joint = transfo.muiJointIndex;
	const s32 node = ( joint & JOINT_ID_BITS ) != 0 ? RpHAnimIDGetIndex( hierarchy, static_cast<s32>( joint ) ) : static_cast<s32>( joint );
	if ( node < 0 || node >= hierarchy->numNodes || hierarchy->pNodeInfo[node].pFrame == nullptr ) {
		return false;
	}
	RwFrame * const parentFrame = static_cast<RwFrame *>( hierarchy->pNodeInfo[node].pFrame->object.parent );
	if ( parentFrame == nullptr ) {
		return false;
	}
	const s32 parentJoint = mp3dObj->GetJointIndex( static_cast<u32>( RpHAnimFrameGetID( parentFrame ) ) );
	if ( parentJoint < 0 ) {
		return false;
	}
	const DTTransfo * parent = nullptr;
	DTTransfo * const block = static_cast<DTTransfo *>( moTransfo.mpDataBlock );
	if ( ( moTransfo.muiState & EF_ATTRIB_OBJECT_ARRAY ) != 0 ) {
		parent = static_cast<u32>( parentJoint ) < mp3dObj->GetNbTransfo() ? &block[parentJoint] : nullptr;
	} else {
		for ( u32 i = 0; i < written && parent == nullptr; i++ ) {
			if ( block[i].muiJointIndex == static_cast<u32>( parentJoint ) ) {
				parent = &block[i];
			}
		}
	}
	if ( parent == nullptr ) {
		return false;
	}
	// A zero parent scale compensates to infinity, as the console does.
	transfo.mInverseScaleParent.Set( 1.0f / parent->mScaling.x, 1.0f / parent->mScaling.y, 1.0f / parent->mScaling.z );
	transfo.muiState |= EF_TRANSFO_INVERSE_SCALE;
	return true;
}

void EFHAnimNode::UpdateAnimCallback() {
	const EFHAnimRes * const res = GetHAnimRes();
	if ( res == nullptr || res->mpCommands == nullptr ) {
		return;
	}
	const u32 count = res->GetCommandCount();
	bool wrapped = ( muiAnimState & AS_WRAPPED ) != 0;
	for ( ;; ) {
		const u32 i = muiCurCBCmd;
		if ( !wrapped && ( i >= count || res->mpCommands[i].mfTime > mfCurrentTime ) ) {
			break;
		}
		if ( i < count ) {
			const EFHAnimCommand & command = res->mpCommands[i];
			muiCurCBCmd++;
			if ( command.muiType == EF_HANIM_COMMAND_SOUND ) {
				if ( command.muiParameter >= muiNbSoundRefs ) {
					// No reference was ever made for it.
					continue;
				}
				EFNewSoundMgr::SoundReference * const sound = mppSoundRefs[command.muiParameter];
				if ( sound != nullptr ) {
					const bool underBlend = mpParent != nullptr && static_cast<DTOperator *>( mpParent )->meType == OP_Blend;
					if ( ( !underBlend || static_cast<EFAnimBlendNode *>( mpParent )->CanPlaySoundCB( *this ) ) &&
						 mpGameObjectOwner != nullptr ) {
						mpGameObjectOwner->moNewSoundMgr.PlayAnimationSound( sound );
					}
					continue;
				}
			}
			if ( mpNotificationMgr == nullptr || mpGameObjectOwner == nullptr ) {
				continue;
			}
			// The notification manager frees the record after delivery.
			EFAnimCBData * const record = static_cast<EFAnimCBData *>( ::operator new( sizeof( EFAnimCBData ), std::nothrow ) );
			if ( record != nullptr ) {
				*record = { muiIndex, command.muiType, command.muiParameter };
				Notify( NO_ANIM_CB, record );
			}
			continue;
		}
		// Past the last command of a wrapped frame: start over.
		wrapped = false;
		muiCurCBCmd = 0;
		if ( ( muiAnimState & AS_LAST_FRAME ) != 0 ) {
			Notify( NO_ANIMATION_LAST_FRAME, nullptr );
			muiAnimState &= ~AS_LAST_FRAME;
		}
	}
}

// --- Collision primitives ---

namespace {

// Place in the chain: global sphere, translation, then primitives by index.
u32 ChainRank( const EFAnimCollPrim & record ) {
	return record.muiKind < EF_ANIM_COLL_SPHERE ? record.muiKind : EF_ANIM_COLL_SPHERE;
}

f32 Lerp( const f32 a, const f32 b, const f32 u ) {
	return a + u * ( b - a );
}

void Lerp3( const f32 * a, const f32 * b, const f32 u, f32 * out ) {
	for ( u32 i = 0; i < 3; i++ ) {
		out[i] = Lerp( a[i], b[i], u );
	}
}

}

EFAnimCollPrim * EFHAnimNode::GetCollPrimData( const u32 primitive, const u32 command, DTWorkMemory & workMemory ) {
	u32 kind = EF_ANIM_COLL_BSPHERE;
	if ( command == EF_CPANIM_BOUND_SPHERE ) {
		kind = EF_ANIM_COLL_TRANSLATION;
	} else if ( command != EF_CPANIM_GLOBAL_SPHERE ) {
		const EFPhysic * const body = mpGameObjectOwner != nullptr ? mpGameObjectOwner->mpoPhysic : nullptr;
		const EFObjCollisionPrim * const shape = body != nullptr ? body->moCollisionModel.GetPrimitive( primitive ) : nullptr;
		if ( shape == nullptr ) {
			return nullptr;
		}
		switch ( shape->mui32Shape ) {
		case EF_PRIM_SPHERE:
			kind = EF_ANIM_COLL_SPHERE;
			break;
		case EF_PRIM_SWEPT_SPHERE:
			kind = EF_ANIM_COLL_SWEPT_SPHERE;
			break;
		case EF_PRIM_BBOX:
			kind = EF_ANIM_COLL_BOX;
			break;
		default:
			return nullptr;
		}
	}
	EFAnimCollPrim * previous = nullptr;
	EFAnimCollPrim * current = static_cast<EFAnimCollPrim *>( moCollPrim.mpDataBlock );
	for ( ; current != nullptr; previous = current, current = current->mpNext ) {
		if ( current->muiKind == kind && ( kind == EF_ANIM_COLL_BSPHERE || current->muiIndex == primitive ) ) {
			return current;
		}
	}
	const u32 size = EFAnimCollPrimSize( kind );
	EFAnimCollPrim * const record = static_cast<EFAnimCollPrim *>( workMemory.Get( size ) );
	if ( record == nullptr ) {
		return nullptr;
	}
	std::memset( static_cast<void *>( record ), 0, size );
	record->muiKind = kind;
	record->muiIndex = primitive;
	record->muiSize = size;
	if ( kind >= EF_ANIM_COLL_SPHERE && command != EF_CPANIM_PRIM_EXPORTED && mp3dObj != nullptr ) {
		mp3dObj->GetDefaultCollPrimAttrib( primitive, *record );
	}
	const u32 rank = ChainRank( *record );
	previous = nullptr;
	current = static_cast<EFAnimCollPrim *>( moCollPrim.mpDataBlock );
	while ( current != nullptr && ( ChainRank( *current ) < rank ||
									( rank == EF_ANIM_COLL_SPHERE && ChainRank( *current ) == rank && current->muiIndex < primitive ) ) ) {
		previous = current;
		current = current->mpNext;
	}
	record->mpNext = current;
	if ( previous != nullptr ) {
		previous->mpNext = record;
	} else {
		moCollPrim.mpDataBlock = record;
	}
	moCollPrim.muiNbStruct++;
	return record;
}

void EFHAnimNode::UpdateAnimPrimColl( DTWorkMemory & workMemory ) {
	const EFHAnimRes * const res = GetHAnimRes();
	if ( res == nullptr || res->mpCollPrimAnim == nullptr || res->mpCollPrimAnim->GetCommands().GetSize() == 0 ) {
		return;
	}
	const DTVector<EFCPAnimCmdPair> & commands = res->mpCollPrimAnim->GetCommands();
	const u32 count = commands.GetSize();
	for ( u32 i = 0; i < count; i++ ) {
		const EFCPAnimCmdPair & command = commands[i];
		if ( command.mui16Command != EF_CPANIM_GLOBAL_SPHERE || command.mpPayload == nullptr ) {
			continue;
		}
		EFAnimCollPrim * const record = GetCollPrimData( command.mui16Prim, EF_CPANIM_GLOBAL_SPHERE, workMemory );
		if ( record != nullptr ) {
			const EFCPAnimSphere & sphere = static_cast<const EFCPAnimGlobalSphere *>( command.mpPayload )->moSphere;
			f32 * const values = static_cast<EFAnimCollPrimPoint *>( record )->mfValues;
			values[0] = sphere.mfX;
			values[1] = sphere.mfY;
			values[2] = sphere.mfZ;
			values[3] = sphere.mfRadius;
		}
		break;
	}
	const bool objectArray = ( moTransfo.muiState & EF_ATTRIB_OBJECT_ARRAY ) != 0;
	const EFPhysic * const body = mpGameObjectOwner != nullptr ? mpGameObjectOwner->mpoPhysic : nullptr;
	if ( body == nullptr ) {
		if ( objectArray ) {
			SetCollPrimData();
		}
		return;
	}
	const bool wrapped = ( muiAnimState & AS_WRAPPED ) != 0;
	for ( u32 i = 0; i < count; i++ ) {
		const EFCPAnimCmdPair & command = commands[i];
		const u32 code = command.mui16Command;
		const EFObjCollisionPrim * const primitive = body->moCollisionModel.GetPrimitive( command.mui16Prim );
		if ( code != EF_CPANIM_BOUND_SPHERE && code != EF_CPANIM_GLOBAL_SPHERE && primitive != nullptr &&
			 primitive->mui32Shape == EF_PRIM_POLYGON ) {
			continue;
		}
		if ( command.mfTime > mfCurrentTime ) {
			break;
		}
		if ( code == EF_CPANIM_ATTR_INT ) {
			const EFCPAnimAttrInt * const payload = static_cast<const EFCPAnimAttrInt *>( command.mpPayload );
			if ( payload == nullptr || static_cast<u32>( payload->miIndex ) >= EF_ANIM_COLL_ATTRIBUTES ) {
				continue;
			}
			EFAnimCollPrim * const record = GetCollPrimData( command.mui16Prim, code, workMemory );
			if ( record != nullptr ) {
				static_cast<EFAnimCollPrimShape *>( record )->muiAttributes[payload->miIndex] = static_cast<u32>( payload->miValue );
			}
		} else if ( code == EF_CPANIM_PRIM_EXPORTED ) {
			if ( EFAnimCollPrim * const record = GetCollPrimData( command.mui16Prim, code, workMemory ) ) {
				record->muiFlags |= EF_ANIM_COLL_RESET;
			}
		} else if ( code >= EF_CPANIM_BOUND_SPHERE && code <= EF_CPANIM_BBOX_DIM ) {
			PlayInterpolated( command, wrapped, workMemory );
		}
	}
	if ( objectArray ) {
		SetCollPrimData();
	}
}

void EFHAnimNode::PlayInterpolated( const EFCPAnimCmdPair & command, const bool wrapped, DTWorkMemory & workMemory ) {
	if ( command.mpPayload == nullptr ) {
		return;
	}
	// Every interpolated payload starts with its end time.
	f32 end = *static_cast<const f32 *>( command.mpPayload );
	f32 u = 0.0f;
	const f32 t = mfCurrentTime;
	const bool held = !( end > 0.0f );
	if ( held ) {
		end = mfDuration;
	}
	if ( !( command.mfTime <= t && t <= end ) ) {
		return;
	}
	if ( !held && end != command.mfTime ) {
		u = ( t - command.mfTime ) / ( end - command.mfTime );
	}
	EFAnimCollPrim * const record = GetCollPrimData( command.mui16Prim, command.mui16Command, workMemory );
	if ( record == nullptr ) {
		return;
	}
	switch ( command.mui16Command ) {
	case EF_CPANIM_BOUND_SPHERE: {
		const EFCPAnimBoundSphere & p = *static_cast<const EFCPAnimBoundSphere *>( command.mpPayload );
		f32 * const values = static_cast<EFAnimCollPrimPoint *>( record )->mfValues;
		values[0] = Lerp( p.moStart.mfX, p.moEnd.mfX, u );
		values[1] = Lerp( p.moStart.mfY, p.moEnd.mfY, u );
		values[2] = Lerp( p.moStart.mfZ, p.moEnd.mfZ, u );
		values[3] = Lerp( p.moStart.mfRadius, p.moEnd.mfRadius, u );
		break;
	}
	case EF_CPANIM_TRANSLATE: {
		const EFCPAnimVector & p = *static_cast<const EFCPAnimVector *>( command.mpPayload );
		Lerp3( p.mafStart, p.mafEnd, u, static_cast<EFAnimCollPrimShape *>( record )->mfOffset );
		if ( wrapped ) {
			record->muiFlags = EF_ANIM_COLL_WRAP;
		}
		break;
	}
	case EF_CPANIM_SPHERE_RADIUS:
		if ( record->muiKind == EF_ANIM_COLL_SPHERE ) {
			const EFCPAnimValue & p = *static_cast<const EFCPAnimValue *>( command.mpPayload );
			static_cast<EFAnimCollPrimSphere *>( record )->mfRadius = Lerp( p.mfStart, p.mfEnd, u );
		}
		break;
	case EF_CPANIM_SWEPT_AXIS:
		if ( record->muiKind == EF_ANIM_COLL_SWEPT_SPHERE ) {
			const EFCPAnimVector & p = *static_cast<const EFCPAnimVector *>( command.mpPayload );
			Lerp3( p.mafStart, p.mafEnd, u, static_cast<EFAnimCollPrimSweptSphere *>( record )->mfSegment );
		}
		break;
	case EF_CPANIM_SWEPT_RADIUS:
		if ( record->muiKind == EF_ANIM_COLL_SWEPT_SPHERE ) {
			const EFCPAnimValue & p = *static_cast<const EFCPAnimValue *>( command.mpPayload );
			static_cast<EFAnimCollPrimSweptSphere *>( record )->mfRadius = Lerp( p.mfStart, p.mfEnd, u );
		}
		break;
	default:
		if ( record->muiKind == EF_ANIM_COLL_BOX ) {
			const EFCPAnimVector & p = *static_cast<const EFCPAnimVector *>( command.mpPayload );
			Lerp3( p.mafStart, p.mafEnd, u, static_cast<EFAnimCollPrimBox *>( record )->mfHalfExtents );
		}
		break;
	}
}
