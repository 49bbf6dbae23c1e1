/*
	Test support of the animation tree: a scripted skeletal node that
	follows the shared time and end rules and writes a constant pose,
	distinct per node, for its joints (into the object's array when it
	holds it, else a work-memory list); the engine's skeletal node over a
	stored block whose constant curves give the same poses, so that a
	scenario runs over either; a non-skeletal node whose stop
	unlinks it; animation resources with a chosen group, blend kind and
	duration; and a recorder of the nodes' notifications.
*/
#ifndef ANIM_TEST_SUPPORT_H
#define ANIM_TEST_SUPPORT_H

#include "datatypes/base/DTByteOrder.h"
#include "datatypes/memory/DTWorkMemory.h"
#include "datatypes/memory/MMMemory.h"
#include "datatypes/persist/DTMemoryPersistStream.h"
#include "datatypes/maths/DTTransfo.h"
#include "framework/core/world/EFGameObject.h"
#include "framework/core/world/EFNotificationMgr.h"
#include "framework/graphics/EF3dObj.h"
#include "framework/graphics/animation/EFAnimBlendNode.h"
#include "framework/graphics/animation/EFAnimRes.h"
#include "framework/graphics/animation/EFAnimationMgr.h"
#include "framework/graphics/animation/EFHAnimNode.h"
#include "framework/graphics/animation/EFHAnimRes.h"
#include "tools/lib/level/ToolAnimBlockWriter.h"
#include "tools/lib/level/ToolAnimCurveWriter.h"

#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

namespace animtest {

// The constant pose a scripted node writes for a joint.
inline void ScriptedPose( const u32 seed, const u32 joint, DTTransfo& t ) {
	t.mScaling.Set( 1.0f + 0.125f * static_cast<f32>( seed ), 1.0f, 1.0f + 0.0625f * static_cast<f32>( joint ) );
	t.mTranslation.Set( static_cast<f32>( seed ), static_cast<f32>( joint ), 0.5f );
	t.mEulerRotation.Set( 0.1f * static_cast<f32>( seed ), 0.05f * static_cast<f32>( joint ), 0.0f );
	t.mRotation = DTQuaternion( 0.0f, 0.0f, 0.0f, 1.0f );
	t.mInverseScaleParent.Set( 1.0f, 1.0f, 1.0f );
	t.muiState = EF_TRANSFO_EULER;
	t.muiJointIndex = joint;
}

// A resource holding the block.
inline EFAnimRes* MakeRes( const ToolAnimBlock& block ) {
	const std::vector<u8> bytes = ToolAnimBlockWriter::Encode( block );
	EFAnimRes* const res = new EFAnimRes;
	res->mpAnimData = static_cast<u8*>( MMVMalloc( static_cast<u32>( bytes.size() ) ) );
	std::memcpy( res->mpAnimData, bytes.data(), bytes.size() );
	return res;
}

// Loads a skeletal resource record as the level does (no factory here:
// nothing registers); the load's result in result.
inline EFHAnimRes* LoadHAnimRes( const std::vector<u8>& bytes, s32* result = nullptr ) {
	std::vector<u8> copy = bytes;
	DTMemoryPersistStream stream( reinterpret_cast<char*>( copy.data() ), static_cast<s32>( copy.size() ) );
	EFHAnimRes* const res = new EFHAnimRes;
	const s32 code = res->LoadPropertiesBinary( stream );
	if ( result != nullptr ) {
		*result = code;
	}
	return res;
}

// A resource whose block has the given duration, group and blend kind
// and, per joint given, a channel set of nine constant curves (scaling,
// translation, Euler angles) holding ScriptedPose( seed, joint ).
inline EFAnimRes* MakeRes( const f32 duration, const u8 group, const u8 blendKind = 0, const std::vector<u32>& joints = {},
						   const u32 seed = 0 ) {
	ToolAnimBlock block;
	block.duration = duration;
	block.group = group;
	block.blendKind = blendKind;
	for ( const u32 joint : joints ) {
		block.tracks.push_back( { joint, 0, std::vector<ToolAnimEntry>( 9 ) } );
	}
	for ( ToolAnimTrack& track : block.tracks ) {
		DTTransfo pose;
		ScriptedPose( seed, track.joint, pose );
		const DTVector3d* const vectors[3] = { &pose.mScaling, &pose.mTranslation, &pose.mEulerRotation };
		for ( u32 target = 0; target < 9; target++ ) {
			const DTVector3d& v = *vectors[target / 3];
			const f32 value = target % 3 == 0 ? v.x : target % 3 == 1 ? v.y : v.z;
			track.entries[target] = { target, ToolAnimCurveWriter::AppendCurve( block, ToolAnimCurveWriter::Constant( value ) ) };
		}
	}
	return MakeRes( block );
}

// Skeletal node of the tests: the skeletal node's update and stop rules
// over constant poses.
class ScriptedHAnimNode : public EFAnimNode {
public:
	ScriptedHAnimNode( EFGameObject& owner, EF3dObj& object, EFAnimRes* res, std::vector<u32> joints, const u32 seed )
		: EFAnimNode( OP_HAnim ), moTransfo( AT_TRANSFO ), moPrims( AT_COLLPRIM ), mJoints( std::move( joints ) ),
		  muiSeed( seed ) {
		moTransfo.mpNext = &moPrims;
		mpOutputList = &moTransfo;
		mpGameObjectOwner = &owner;
		mp3dObj = &object;
		mpAnimRes = res;
		if ( res != nullptr ) {
			res->muiRefCount++;
			muiGroup = res->mpAnimData[EF_ANIM_DATA_GROUP];
			mfDuration = DTReadBEF32( res->mpAnimData + EF_ANIM_DATA_DURATION );
		}
	}

	f32 Update( const f32 dt, DTWorkMemory& wm ) override {
		updates++;
		AssignDataBlock( wm );
		if ( ( muiAnimState & ( AS_AT_END | AS_REFRESH | AS_HOLD ) ) != 0 ) {
			const bool underBlend = mpParent != nullptr && static_cast<DTOperator*>( mpParent )->meType == OP_Blend;
			if ( ( muiAnimState & AS_AT_END ) != 0 && ( muiAnimState & AS_REFRESH ) == 0 && !underBlend ) {
				return 0.0f;
			}
			WritePose();
			muiAnimState &= ~AS_REFRESH;
			return 0.0f;
		}
		AdvanceTime( dt );
		WritePose();
		EndTest();
		return 0.0f;
	}

	bool Stop() override {
		LeaveParent();
		if ( moTransfo.mpDataBlock != nullptr ) {
			mp3dObj->ReleaseTransfo( static_cast<DTTransfo*>( moTransfo.mpDataBlock ) );
		}
		moTransfo.mpDataBlock = nullptr;
		moTransfo.muiNbStruct = 0;
		moTransfo.muiState = 0;
		return EFAnimNode::Stop();
	}

	void AssignDataBlock( DTWorkMemory& wm ) {
		moPrims.mpDataBlock = nullptr;
		moPrims.muiNbStruct = 0;
		if ( ( moTransfo.muiState & EF_ATTRIB_OBJECT_ARRAY ) != 0 ) {
			return;
		}
		const u32 count = static_cast<u32>( mJoints.size() );
		if ( DTTransfo* const locked = mp3dObj->LockTransfo() ) {
			moTransfo.mpDataBlock = locked;
			moTransfo.muiState = EF_ATTRIB_OBJECT_ARRAY | EF_ATTRIB_SKELETAL;
			moTransfo.muiNbStruct = count;
		} else {
			moTransfo.mpDataBlock = wm.Get( count * static_cast<u32>( sizeof( DTTransfo ) ) );
			moTransfo.muiState = EF_ATTRIB_SKELETAL;
			moTransfo.muiNbStruct = moTransfo.mpDataBlock != nullptr ? count : 0;
		}
		if ( ( muiAnimState & AS_AT_END ) != 0 ) {
			muiAnimState |= AS_REFRESH;
		}
	}

	void WritePose() {
		DTTransfo* const block = static_cast<DTTransfo*>( moTransfo.mpDataBlock );
		if ( block == nullptr ) {
			return;
		}
		const bool bySlot = ( moTransfo.muiState & EF_ATTRIB_OBJECT_ARRAY ) != 0;
		for ( u32 i = 0; i < mJoints.size() && ( bySlot || i < moTransfo.muiNbStruct ); i++ ) {
			const u32 joint = mJoints[i];
			if ( bySlot && joint >= mp3dObj->GetNbTransfo() ) {
				continue;
			}
			ScriptedPose( muiSeed, joint, block[bySlot ? joint : i] );
		}
	}

	DTAttrib			moTransfo;
	DTAttrib			moPrims;
	std::vector<u32>	mJoints;
	u32					muiSeed;
	u32					updates = 0;
};

// The engine's skeletal node, counting its updates.
class StoredHAnimNode : public EFHAnimNode {
public:
	f32 Update( const f32 dt, DTWorkMemory& wm ) override {
		updates++;
		return EFHAnimNode::Update( dt, wm );
	}
	u32 updates = 0;
};

// Which skeletal node a scenario runs over.
enum class SkeletalKind { Scripted, Stored };

inline const char* KindName( const SkeletalKind kind ) {
	return kind == SkeletalKind::Scripted ? "Scripted" : "Stored";
}

// A skeletal node of owner's object writing pose seed for joints: the
// scripted one, or the engine's over a block of the same poses,
// initialised as the level initialises it.
inline EFAnimNode* MakeSkeletal( const SkeletalKind kind, EFGameObject& owner, EF3dObj& object, const f32 duration, const u8 group,
								 const u8 blendKind, std::vector<u32> joints, const u32 seed ) {
	if ( kind == SkeletalKind::Scripted ) {
		return new ScriptedHAnimNode( owner, object, MakeRes( duration, group, blendKind ), std::move( joints ), seed );
	}
	StoredHAnimNode* const node = new StoredHAnimNode;
	EFAnimRes* const res = MakeRes( duration, group, blendKind, joints, seed );
	res->muiRefCount++;
	node->mpAnimRes = res;
	node->mpGameObjectOwner = &owner;
	DTCreationParameters params = { nullptr, &object };
	node->Initialize( &params );
	return node;
}

// Updates a node made by MakeSkeletal has had.
inline u32 Updates( const EFAnimNode* node ) {
	if ( const ScriptedHAnimNode* const scripted = dynamic_cast<const ScriptedHAnimNode*>( node ) ) {
		return scripted->updates;
	}
	return dynamic_cast<const StoredHAnimNode&>( *node ).updates;
}

// The transform output of a skeletal node.
inline DTAttrib& Transforms( const EFAnimNode* node ) {
	return *node->GetOutput( AT_TRANSFO );
}

// Non-skeletal node whose stop unlinks it; it advances its time and ends
// its frame as animated nodes do.
class UnlinkingNode : public EFAnimNode {
public:
	explicit UnlinkingNode( EFGameObject& owner, EF3dObj& object, const f32 duration ) : EFAnimNode( OP_MorphAnim ) {
		mpGameObjectOwner = &owner;
		mp3dObj = &object;
		mfDuration = duration;
	}
	f32 Update( const f32 dt, DTWorkMemory& ) override {
		AdvanceTime( dt );
		EndTest();
		return 0.0f;
	}
	bool Stop() override {
		LeaveParent();
		return EFAnimNode::Stop();
	}
};

// One notification as the nodes sent it.
struct Heard {
	u32		type;
	u32		target;
	u32		sender;
	u64		data;
	bool	operator==( const Heard& ) const = default;
};

// Registers for the stop, last-frame and post-animation notifications of
// the given targets and senders and logs what a flush delivers.
class NotificationRecorder {
public:
	NotificationRecorder() { EFAnimNode::SetNotificationMgr( &moManager ); }
	~NotificationRecorder() { EFAnimNode::SetNotificationMgr( nullptr ); }

	void Listen( const u32 target, const std::vector<u32>& senders ) {
		for ( const EFNotifyType_e type : { NO_ANIMATION_STOP, NO_ANIMATION_LAST_FRAME, NO_POST_ANIMATION } ) {
			for ( const u32 sender : senders ) {
				Heard* const key = static_cast<Heard*>( ::operator new( sizeof( Heard ) ) );
				*key = { static_cast<u32>( type ), target, sender, 0 };
				key->data = reinterpret_cast<uintptr_t>( this );
				moManager.RegisterNotify( type, target, sender, &Record, key );
			}
		}
	}

	std::vector<Heard> Flush() {
		mHeard.clear();
		moManager.FlushNotification();
		return mHeard;
	}

	EFNotificationMgr& Manager() { return moManager; }

private:
	static s32 Record( void* callerData, void* eventData ) {
		const Heard* const key = static_cast<const Heard*>( callerData );
		NotificationRecorder* const self = reinterpret_cast<NotificationRecorder*>( static_cast<uintptr_t>( key->data ) );
		self->mHeard.push_back( { key->type, key->target, key->sender, reinterpret_cast<uintptr_t>( eventData ) } );
		return 0;
	}

	EFNotificationMgr	moManager;
	std::vector<Heard>	mHeard;
};

// A game object with one 3D object of joints joints.
struct Actor {
	Actor( const u32 uid, const u32 joints ) {
		object.SetUID( uid );
		model.InitTransfo( joints );
		object.moAnimationMgr.muiOwnerId = uid;
	}
	EFAnimationMgr& Manager() { return object.moAnimationMgr; }

	// The model outlives the object, whose manager's nodes point at it.
	EF3dObj			model;
	EFGameObject	object;
};

}

#endif
