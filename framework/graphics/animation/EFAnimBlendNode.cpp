#include "framework/graphics/animation/EFAnimBlendNode.h"

#include "datatypes/maths/DTLimits.h"
#include "datatypes/maths/DTTransfo.h"
#include "datatypes/memory/DTWorkMemory.h"
#include "framework/core/world/EFGameObject.h"
#include "framework/graphics/EF3dObj.h"
#include "framework/graphics/animation/EFAnimCollPrim.h"

#include <cstring>
#include <initializer_list>
#include <new>

namespace {

constexpr f32 DEFAULT_TIME_IN = 0.1f;
constexpr f32 DEFAULT_WEIGHT = 1.0f;
constexpr f32 DEFAULT_TIME_OUT = 0.1f;
constexpr f32 NO_SOUND_LIMIT = -1.0f;

DTTransfo * Transforms( const DTAttrib & attrib ) {
	return static_cast<DTTransfo *>( attrib.mpDataBlock );
}

// The quaternion of t, from its Euler angles when those are newer.
DTQuaternion ValidRotation( const DTTransfo & t ) {
	if ( ( t.muiState & EF_TRANSFO_EULER ) == 0 ) {
		return t.mRotation;
	}
	DTQuaternion q;
	q.EulerToQuatf( t.mEulerRotation );
	return q;
}

DTVector3d LerpVector( const DTVector3d & a, const DTVector3d & b, const f32 w ) {
	return a + ( b - a ) * w;
}

// v rotated by the unit quaternion q (row vectors, as the matrices do).
DTVector3d Rotate( const DTQuaternion & q, const DTVector3d & v ) {
	DTMatrix m;
	std::memset( &m, 0, sizeof( m ) );
	q.QuatToMat( &m );
	return *m.GetRight() * v.x + *m.GetUp() * v.y + *m.GetAt() * v.z;
}

void MixJoint( const DTTransfo & a, const DTTransfo & b, const f32 w, DTTransfo & out ) {
	if ( w == 0.0f ) {
		out.Copy( &a, 1 );
		return;
	}
	if ( w == 1.0f ) {
		out.Copy( &b, 1 );
		return;
	}
	const DTQuaternion qa = ValidRotation( a );
	const DTQuaternion qb = ValidRotation( b );
	const bool inverse = ( ( a.muiState | b.muiState ) & EF_TRANSFO_INVERSE_SCALE ) != 0;
	const DTVector3d unit( 1.0f, 1.0f, 1.0f );
	const DTVector3d ia = ( a.muiState & EF_TRANSFO_INVERSE_SCALE ) != 0 ? a.mInverseScaleParent : unit;
	const DTVector3d ib = ( b.muiState & EF_TRANSFO_INVERSE_SCALE ) != 0 ? b.mInverseScaleParent : unit;
	out.mRotation.QLerp( qa, qb, w );
	out.mTranslation = LerpVector( a.mTranslation, b.mTranslation, w );
	out.mScaling = LerpVector( a.mScaling, b.mScaling, w );
	out.mEulerRotation = a.mEulerRotation;
	out.muiJointIndex = a.muiJointIndex;
	if ( inverse ) {
		out.mInverseScaleParent = LerpVector( ia, ib, w );
		out.muiState = EF_TRANSFO_QUAT_VALID | EF_TRANSFO_INVERSE_SCALE;
	} else {
		out.mInverseScaleParent = a.mInverseScaleParent;
		out.muiState = EF_TRANSFO_QUAT_VALID;
	}
}

// Where the mix writes its results: the object's array by joint slot, or
// a list appended in order and cut at its capacity.
struct MixTarget {
	DTTransfo *	block;
	u32			capacity;
	bool		bySlot;
	u32			written;

	DTTransfo * Next( const u32 joint ) {
		if ( bySlot ) {
			return joint < capacity ? block + joint : nullptr;
		}
		if ( written >= capacity ) {
			return nullptr;
		}
		return block + written++;
	}
	bool Full() const { return !bySlot && written >= capacity; }
};

// Reads an input in joint order. A list is read record by record; an
// input holding the object's array is read by joint slot, a slot counting
// when it holds its own joint.
struct InputCursor {
	DTTransfo *	block;
	u32			count;
	bool		bySlot;
	u32			at;

	InputCursor( const DTAttrib & input, const bool slots, const u32 nodes )
		: block( Transforms( input ) ), count( 0 ), bySlot( slots ), at( 0 ) {
		if ( block != nullptr ) {
			count = bySlot ? nodes : input.muiNbStruct;
		}
		Settle();
	}
	void Settle() {
		while ( bySlot && at < count && block[at].muiJointIndex != at ) {
			at++;
		}
	}
	bool Has() const { return at < count; }
	DTTransfo & Current() const { return block[at]; }
	u32 Joint() const { return block[at].muiJointIndex; }
	void Advance() {
		at++;
		Settle();
	}
};

EFAnimCollPrim * CopyRecord( const EFAnimCollPrim & record, DTWorkMemory & workMemory ) {
	const u32 size = EFAnimCollPrimSize( record.muiKind );
	if ( size == 0 ) {
		return nullptr;
	}
	EFAnimCollPrim * const copy = static_cast<EFAnimCollPrim *>( workMemory.Get( size ) );
	if ( copy != nullptr ) {
		std::memcpy( static_cast<void *>( copy ), &record, size );
		copy->muiSize = size;
		copy->mpNext = nullptr;
	}
	return copy;
}

// A new chain: records appended in work memory.
struct PrimChain {
	EFAnimCollPrim *	first = nullptr;
	EFAnimCollPrim *	last = nullptr;
	u32					count = 0;

	void Append( EFAnimCollPrim * record ) {
		if ( record == nullptr ) {
			return;
		}
		record->mpNext = nullptr;
		( last != nullptr ? last->mpNext : first ) = record;
		last = record;
		count++;
	}
};

EFAnimCollPrim * MixRecords( const EFAnimCollPrim & a, const EFAnimCollPrim & b, const f32 w, DTWorkMemory & workMemory ) {
	EFAnimCollPrim * const out = CopyRecord( a, workMemory );
	if ( out != nullptr ) {
		EFAnimBlendNode::Blend2CollPrimData( a, b, w, *out );
	}
	return out;
}

}

EFAnimBlendNode::EFAnimBlendNode( const u32 mode, const EFAnimNode & first )
	: EFAnimNode( OP_Blend ), mFrozenPose( AT_TRANSFO ), muiBlendMode( mode ), mfWeight( 0.0f ), mfElapsed( 0.0f ),
	  mfBlendTime( 0.0f ), mfTimeIn( 0.0f ), mfTimeOut( 0.0f ), mfNewWeight( 0.0f ), mfChangeTime( 0.0f ),
	  mfSoundCBLimit( NO_SOUND_LIMIT ), mbAdditive( 0 ),
	  moOutputs{ DTAttrib( AT_TRANSFO ), DTAttrib( AT_COLLPRIM ), DTAttrib( AT_COLLPRIM ) } {
	moOutputs[0].mpNext = &moOutputs[1];
	mpOutputList = &moOutputs[0];
	mp3dObj = first.mp3dObj;
	mpGameObjectOwner = first.mpGameObjectOwner;
	muiGroup = first.muiGroup;
}

EFAnimBlendNode::EFAnimBlendNode( EFAnimNode & n, DTAttrib & pose, DTAttrib & prims, const f32 t )
	: EFAnimBlendNode( EF_BLEND_FROM_POSE, n ) {
	mfBlendTime = t;
	mfTimeToLive = t;
	ClearOutput( n );
	AddChild( &n );
	PrepareInterpTransfo( pose, prims );
}

EFAnimBlendNode::EFAnimBlendNode( EFAnimNode & a, EFAnimNode & b, const f32 t )
	: EFAnimBlendNode( EF_BLEND_CROSSFADE, a ) {
	mfBlendTime = t;
	mfTimeToLive = t;
	EFAnimNode * first = &a;
	if ( a.meType == OP_Blend ) {
		EFAnimBlendNode & transition = static_cast<EFAnimBlendNode &>( a );
		if ( transition.muiBlendMode == EF_BLEND_FROM_POSE || transition.muiBlendMode == EF_BLEND_CROSSFADE ) {
			DTNode * incoming = transition.mpChild;
			if ( transition.muiBlendMode == EF_BLEND_CROSSFADE && incoming != nullptr ) {
				incoming = incoming->mpNext;
			}
			first = static_cast<EFAnimNode *>( incoming );
			if ( first != nullptr ) {
				first->LeaveParent();
			}
			a.LeaveParent();
			if ( a.Stop() ) {
				delete &a;
			}
		}
	} else {
		ClearOutput( a );
	}
	ClearOutput( b );
	AddChild( &b );
	if ( first != nullptr ) {
		AddChild( first );
	}
}

EFAnimBlendNode::EFAnimBlendNode( EFAnimNode & a, EFAnimNode & b, EFBlendParams * params )
	: EFAnimBlendNode( EF_BLEND_FADE_IN, a ) {
	mfWeight = DEFAULT_WEIGHT;
	mfTimeIn = DEFAULT_TIME_IN;
	mfTimeOut = DEFAULT_TIME_OUT;
	a.LeaveParent();
	const bool sameGroup = a.muiGroup == b.muiGroup;
	muiGroup = sameGroup ? a.muiGroup : 0xFFFFFFFF;
	muiUID = EF_BLEND_DEFAULT_UID;
	if ( params != nullptr ) {
		muiUID = params->uiBlendNodeID;
		mfTimeIn = params->fTimeIn;
		mfWeight = params->fBlendFactor;
		mfTimeOut = params->fTimeOut;
		if ( params->fSoundCBLimit != NO_SOUND_LIMIT && sameGroup ) {
			mfSoundCBLimit = params->fSoundCBLimit;
		}
	}
	if ( mfTimeOut != 0.0f ) {
		mfTimeToLive = mfTimeOut + b.mfDuration;
	}
	ClearOutput( a );
	ClearOutput( b );
	AddChild( &b );
	AddChild( &a );
	ComputeAdditive();
}

EFAnimBlendNode::~EFAnimBlendNode() {
	ReleaseOutput();
	FreeFrozenPose();
}

void EFAnimBlendNode::ClearOutput( EFAnimNode & node ) {
	for ( DTAttrib * attrib = node.mpOutputList; attrib != nullptr; attrib = attrib->mpNext ) {
		if ( attrib->meType == AT_TRANSFO && node.mp3dObj != nullptr && attrib->mpDataBlock != nullptr ) {
			node.mp3dObj->ReleaseTransfo( Transforms( *attrib ) );
		}
		if ( ( attrib->muiState & DT_ATTRIB_OWNS_BLOCK ) == 0 ) {
			attrib->mpDataBlock = nullptr;
			attrib->muiNbStruct = 0;
			attrib->muiState = 0;
		}
	}
}

void EFAnimBlendNode::ReleaseOutput() {
	if ( mp3dObj != nullptr && moOutputs[0].mpDataBlock != nullptr ) {
		mp3dObj->ReleaseTransfo( Transforms( moOutputs[0] ) );
	}
	for ( u32 i = 0; i < 2; i++ ) {
		moOutputs[i].mpDataBlock = nullptr;
		moOutputs[i].muiNbStruct = 0;
		moOutputs[i].muiState = 0;
	}
}

void EFAnimBlendNode::FreeFrozenPose() {
	if ( mFrozenPose.mpDataBlock != nullptr ) {
		if ( ( mFrozenPose.muiState & DT_ATTRIB_OWNS_BLOCK ) != 0 ) {
			::operator delete( mFrozenPose.mpDataBlock );
		} else if ( mp3dObj != nullptr ) {
			mp3dObj->ReleaseTransfo( Transforms( mFrozenPose ) );
		}
	}
	mFrozenPose.mpDataBlock = nullptr;
	mFrozenPose.muiNbStruct = 0;
	mFrozenPose.muiState = 0;
	if ( ( moOutputs[2].muiState & DT_ATTRIB_OWNS_BLOCK ) != 0 ) {
		::operator delete( moOutputs[2].mpDataBlock );
	}
	moOutputs[2].mpDataBlock = nullptr;
	moOutputs[2].muiNbStruct = 0;
	moOutputs[2].muiState = 0;
}

void EFAnimBlendNode::PrepareInterpTransfo( DTAttrib & pose, DTAttrib & prims ) {
	mFrozenPose.mpNext = &moOutputs[2];
	// A pose read from an object-wide array holds its joints by slot (its
	// count is that of the joints its node writes): the slots holding their
	// own joint are its records. The copy is a list in joint order.
	const DTTransfo * const source = Transforms( pose );
	const bool bySlot = ( pose.muiState & EF_ATTRIB_OBJECT_ARRAY ) != 0 && mp3dObj != nullptr;
	const u32 slots = source == nullptr ? 0 : bySlot ? mp3dObj->GetNbTransfo() : pose.muiNbStruct;
	const auto isRecord = [&]( const u32 slot ) { return !bySlot || source[slot].muiJointIndex == slot; };
	u32 count = 0;
	for ( u32 slot = 0; slot < slots; slot++ ) {
		count += isRecord( slot ) ? 1 : 0;
	}
	DTTransfo * target = nullptr;
	u32 state = EF_ATTRIB_OBJECT_ARRAY;
	if ( count != 0 && mp3dObj != nullptr ) {
		target = mp3dObj->LockTransfo();
		if ( target != nullptr && count > mp3dObj->GetNbTransfo() ) {
			mp3dObj->ReleaseTransfo( target );
			target = nullptr;
		}
	}
	if ( target == nullptr && count != 0 ) {
		state = EF_ATTRIB_PRIVATE_COPY;
		target = static_cast<DTTransfo *>( ::operator new( sizeof( DTTransfo ) * static_cast<size_t>( count ), std::nothrow ) );
	}
	if ( target != nullptr ) {
		// The target is the source itself when the pose was the locked
		// array; records only move towards the front.
		u32 written = 0;
		for ( u32 slot = 0; slot < slots; slot++ ) {
			if ( isRecord( slot ) ) {
				if ( target + written != source + slot ) {
					std::memmove( static_cast<void *>( target + written ), source + slot, sizeof( DTTransfo ) );
				}
				written++;
			}
		}
		for ( u32 i = 0; i < count; i++ ) {
			if ( ( target[i].muiState & EF_TRANSFO_EULER ) != 0 ) {
				target[i].mRotation.EulerToQuatf( target[i].mEulerRotation );
				target[i].muiState = ( target[i].muiState & ~EF_TRANSFO_EULER ) | EF_TRANSFO_QUAT_VALID;
			}
		}
		mFrozenPose.mpDataBlock = target;
		mFrozenPose.muiNbStruct = count;
		mFrozenPose.muiState = state;
	}

	// The primitive chain, copied into one block and linked again.
	u32 total = 0;
	u32 records = 0;
	for ( const EFAnimCollPrim * r = static_cast<const EFAnimCollPrim *>( prims.mpDataBlock ); r != nullptr; r = r->mpNext ) {
		total += EFAnimCollPrimSize( r->muiKind );
		records++;
	}
	if ( total == 0 ) {
		return;
	}
	u8 * const block = static_cast<u8 *>( ::operator new( total, std::nothrow ) );
	if ( block == nullptr ) {
		return;
	}
	u8 * at = block;
	EFAnimCollPrim * previous = nullptr;
	for ( const EFAnimCollPrim * r = static_cast<const EFAnimCollPrim *>( prims.mpDataBlock ); r != nullptr; r = r->mpNext ) {
		const u32 size = EFAnimCollPrimSize( r->muiKind );
		if ( size == 0 ) {
			continue;
		}
		std::memcpy( at, static_cast<const void *>( r ), size );
		EFAnimCollPrim * const copy = reinterpret_cast<EFAnimCollPrim *>( at );
		copy->muiSize = size;
		copy->mpNext = nullptr;
		if ( previous != nullptr ) {
			previous->mpNext = copy;
		}
		previous = copy;
		at += size;
	}
	moOutputs[2].mpDataBlock = block;
	moOutputs[2].muiNbStruct = records;
	moOutputs[2].muiState = EF_ATTRIB_PRIVATE_COPY;
}

void EFAnimBlendNode::ComputeAdditive() {
	mbAdditive = 0;
	if ( muiBlendMode == EF_BLEND_FROM_POSE || muiBlendMode == EF_BLEND_CROSSFADE || mpChild == nullptr ) {
		return;
	}
	const EFAnimNode * const second = static_cast<const EFAnimNode *>( mpChild->mpNext );
	if ( second == nullptr || second->meType != OP_HAnim ) {
		return;
	}
	const u8 * const data = second->GetAnimData();
	if ( data != nullptr && second->GetAnimDataSize() > EF_ANIM_DATA_BLEND_KIND &&
		 data[EF_ANIM_DATA_BLEND_KIND] == EF_ANIM_BLEND_ADDITIVE ) {
		mbAdditive = 1;
	}
}

f32 EFAnimBlendNode::ComputeWeight( const f32 dt ) {
	f32 w = 1.0f;
	switch ( muiBlendMode ) {
	case EF_BLEND_FROM_POSE:
	case EF_BLEND_CROSSFADE:
		return mfBlendTime > 0.0f ? 1.0f - mfTimeToLive / mfBlendTime : 1.0f;
	case EF_BLEND_FADE_OUT:
		mfElapsed += dt;
		if ( mfElapsed >= mfTimeOut ) {
			mfElapsed = mfTimeOut;
			return 0.0f;
		}
		return mfWeight * ( 1.0f - mfElapsed / mfTimeOut );
	case EF_BLEND_FADE_IN:
		mfElapsed += dt;
		if ( mfElapsed >= mfTimeIn ) {
			mfElapsed = 0.0f;
			muiBlendMode = EF_BLEND_HOLD;
			w = mfWeight;
		} else {
			w = mfWeight * mfElapsed / mfTimeIn;
		}
		break;
	case EF_BLEND_HOLD:
		w = mfWeight;
		break;
	case EF_BLEND_CHANGE:
		mfElapsed += dt;
		if ( mfElapsed < mfChangeTime ) {
			w = mfWeight + ( mfElapsed / mfChangeTime ) * ( mfNewWeight - mfWeight );
		} else {
			muiBlendMode = EF_BLEND_HOLD;
			mfWeight = mfNewWeight;
			w = mfWeight;
			mfElapsed = 0.0f;
			mfChangeTime = 0.0f;
			mfNewWeight = 0.0f;
		}
		break;
	default:
		return 1.0f;
	}
	if ( mfTimeToLive < mfTimeOut ) {
		mfWeight = w;
		muiBlendMode = EF_BLEND_FADE_OUT;
		mfElapsed = mfTimeOut - mfTimeToLive;
		w = mfWeight * ( 1.0f - mfElapsed / mfTimeOut );
	}
	return w;
}

bool EFAnimBlendNode::CanPlaySoundCB( EFAnimNode & node ) {
	if ( mfSoundCBLimit < 0.0f || muiBlendMode == EF_BLEND_FROM_POSE || muiBlendMode == EF_BLEND_CROSSFADE ) {
		return true;
	}
	const f32 w = ComputeWeight( 0.0f );
	return &node == mpChild ? w < mfSoundCBLimit : w >= mfSoundCBLimit;
}

void EFAnimBlendNode::ChangeBlendParams( EFBlendParams * params ) {
	if ( params == nullptr || muiBlendMode == EF_BLEND_FROM_POSE || muiBlendMode == EF_BLEND_CROSSFADE ) {
		return;
	}
	if ( params->fTimeIn > 0.0f ) {
		mfWeight = ComputeWeight( 0.0f );
		muiBlendMode = EF_BLEND_CHANGE;
		mfElapsed = 0.0f;
		mfNewWeight = params->fBlendFactor;
		mfChangeTime = params->fTimeIn;
	} else {
		mfWeight = params->fBlendFactor;
	}
	if ( params->fTimeOut > 0.0f ) {
		mfTimeToLive = params->fTimeOut;
		mfTimeOut = params->fTimeOut;
	}
}

bool EFAnimBlendNode::AssignDataBlock( DTWorkMemory & workMemory ) {
	DTAttrib & out = moOutputs[0];
	if ( ( out.muiState & EF_ATTRIB_OBJECT_ARRAY ) != 0 ) {
		return out.mpDataBlock != nullptr;
	}
	const u32 count = mp3dObj != nullptr ? mp3dObj->GetNbTransfo() : 0;
	DTTransfo * const locked = mp3dObj != nullptr ? mp3dObj->LockTransfo() : nullptr;
	if ( locked != nullptr ) {
		out.mpDataBlock = locked;
		out.muiState = EF_ATTRIB_OBJECT_ARRAY;
		out.muiNbStruct = count;
		return true;
	}
	out.muiState = 0;
	out.mpDataBlock = count != 0 ? workMemory.Get( count * static_cast<u32>( sizeof( DTTransfo ) ) ) : nullptr;
	out.muiNbStruct = out.mpDataBlock != nullptr ? count : 0;
	return out.mpDataBlock != nullptr;
}

f32 EFAnimBlendNode::Update( const f32 dt, DTWorkMemory & workMemory ) {
	const bool hasBlock = AssignDataBlock( workMemory );
	const EFAnimNode * const first = static_cast<const EFAnimNode *>( mpChild );
	const EFAnimNode * const second = first != nullptr ? static_cast<const EFAnimNode *>( first->mpNext ) : nullptr;
	const DTAttrib empty( AT_TRANSFO );
	const DTAttrib * a = &empty;
	const DTAttrib * b = &empty;
	if ( muiBlendMode == EF_BLEND_FROM_POSE ) {
		a = &mFrozenPose;
		const DTAttrib * const child = first != nullptr ? first->GetOutput( AT_TRANSFO ) : nullptr;
		b = child != nullptr ? child : &empty;
	} else {
		const DTAttrib * const firstOut = first != nullptr ? first->GetOutput( AT_TRANSFO ) : nullptr;
		const DTAttrib * const secondOut = second != nullptr ? second->GetOutput( AT_TRANSFO ) : nullptr;
		a = firstOut != nullptr ? firstOut : &empty;
		b = secondOut != nullptr ? secondOut : &empty;
	}
	const f32 w = ComputeWeight( dt );
	if ( hasBlock ) {
		if ( mbAdditive != 0 ) {
			AdditiveMix( *a, *b, w, workMemory );
		} else {
			NormalMix( *a, *b, w, workMemory );
		}
	}
	BlendPrimColl( workMemory, w );
	return 0.0f;
}

void EFAnimBlendNode::NormalMix( const DTAttrib & a, const DTAttrib & b, const f32 w, DTWorkMemory & workMemory ) {
	DTAttrib & out = moOutputs[0];
	MixTarget target = { Transforms( out ), out.muiNbStruct, ( out.muiState & EF_ATTRIB_OBJECT_ARRAY ) != 0, 0 };
	const u32 nodes = mp3dObj != nullptr ? mp3dObj->GetNbTransfo() : 0;
	InputCursor ca( a, &a != &mFrozenPose && ( a.muiState & EF_ATTRIB_OBJECT_ARRAY ) != 0, nodes );
	InputCursor cb( b, ( b.muiState & EF_ATTRIB_OBJECT_ARRAY ) != 0, nodes );
	while ( ( ca.Has() || cb.Has() ) && !target.Full() ) {
		if ( ca.Has() && cb.Has() && ca.Joint() == cb.Joint() ) {
			if ( DTTransfo * const slot = target.Next( ca.Joint() ) ) {
				MixJoint( ca.Current(), cb.Current(), w, *slot );
			}
			ca.Advance();
			cb.Advance();
		} else if ( !cb.Has() || ( ca.Has() && ca.Joint() < cb.Joint() ) ) {
			if ( DTTransfo * const slot = target.Next( ca.Joint() ) ) {
				slot->Copy( &ca.Current(), 1 );
			}
			ca.Advance();
		} else {
			if ( DTTransfo * const slot = target.Next( cb.Joint() ) ) {
				slot->Copy( &cb.Current(), 1 );
			}
			cb.Advance();
		}
	}
	if ( !target.bySlot ) {
		workMemory.Release( ( target.capacity - target.written ) * static_cast<u32>( sizeof( DTTransfo ) ) );
		out.muiNbStruct = target.written;
	}
}

void EFAnimBlendNode::AdditiveMix( const DTAttrib & a, const DTAttrib & b, const f32 w, DTWorkMemory & workMemory ) {
	DTAttrib & out = moOutputs[0];
	MixTarget target = { Transforms( out ), out.muiNbStruct, ( out.muiState & EF_ATTRIB_OBJECT_ARRAY ) != 0, 0 };
	// At weight 0 a list output simply shows A's list. A held by slot (an
	// object-wide array its node owns) is copied instead: pointing at it
	// would read it as a list and share its lock.
	if ( !target.bySlot && w == 0.0f && ( a.muiState & EF_ATTRIB_OBJECT_ARRAY ) == 0 ) {
		workMemory.Release( target.capacity * static_cast<u32>( sizeof( DTTransfo ) ) );
		out.mpDataBlock = a.mpDataBlock;
		out.muiNbStruct = a.mpDataBlock != nullptr ? a.muiNbStruct : 0;
		out.muiState = 0;
		return;
	}
	const u32 nodes = mp3dObj != nullptr ? mp3dObj->GetNbTransfo() : 0;
	InputCursor ca( a, ( a.muiState & EF_ATTRIB_OBJECT_ARRAY ) != 0, nodes );
	InputCursor cb( b, ( b.muiState & EF_ATTRIB_OBJECT_ARRAY ) != 0, nodes );
	const DTQuaternion identity( 0.0f, 0.0f, 0.0f, 1.0f );
	for ( ; ca.Has() && !target.Full(); ca.Advance() ) {
		DTTransfo & ta = ca.Current();
		// B's joints that A lacks are dropped.
		while ( cb.Has() && cb.Joint() < ta.muiJointIndex ) {
			cb.Advance();
		}
		DTTransfo * const slot = target.Next( ta.muiJointIndex );
		if ( slot == nullptr ) {
			continue;
		}
		if ( !cb.Has() || cb.Joint() != ta.muiJointIndex || w == 0.0f ) {
			slot->Copy( &ta, 1 );
			continue;
		}
		DTTransfo & tb = cb.Current();
		cb.Advance();
		ta.UpdateTransfo();
		tb.UpdateTransfo();
		DTQuaternion layered;
		layered.Lerp( identity, tb.mRotation, w );
		tb.mRotation = layered;
		const DTTransfo base = ta;
		slot->mRotation = base.mRotation * tb.mRotation;
		slot->mTranslation = base.mTranslation + Rotate( base.mRotation, tb.mTranslation * w );
		slot->mScaling = base.mScaling + tb.mScaling * w;
		slot->mEulerRotation = base.mEulerRotation;
		slot->muiJointIndex = base.muiJointIndex;
		slot->muiState = 0;
		if ( ( base.muiState & EF_TRANSFO_INVERSE_SCALE ) != 0 ) {
			slot->mInverseScaleParent = base.mInverseScaleParent;
			slot->muiState |= EF_TRANSFO_INVERSE_SCALE;
		}
	}
	if ( !target.bySlot ) {
		workMemory.Release( ( target.capacity - target.written ) * static_cast<u32>( sizeof( DTTransfo ) ) );
		out.muiNbStruct = target.written;
	}
}

void EFAnimBlendNode::Blend2CollPrimData( const EFAnimCollPrim & a, const EFAnimCollPrim & b, const f32 w,
										  EFAnimCollPrim & out ) {
	EFAnimCollPrim * const next = out.mpNext;
	const u32 size = EFAnimCollPrimSize( a.muiKind );
	if ( size == 0 || a.muiKind != b.muiKind ) {
		return;
	}
	if ( w == 0.0f || w == 1.0f ) {
		const EFAnimCollPrim & source = w == 0.0f ? a : b;
		if ( &source != &out ) {
			std::memcpy( static_cast<void *>( &out ), &source, size );
		}
		out.mpNext = next;
		return;
	}
	const auto mix = [w]( const f32 * x, const f32 * y, f32 * z, const u32 n ) {
		for ( u32 k = 0; k < n; k++ ) {
			z[k] = x[k] + w * ( y[k] - x[k] );
		}
	};
	out.muiFlags = a.muiFlags | b.muiFlags;
	switch ( a.muiKind ) {
	case EF_ANIM_COLL_BSPHERE:
	case EF_ANIM_COLL_TRANSLATION:
		mix( static_cast<const EFAnimCollPrimPoint &>( a ).mfValues, static_cast<const EFAnimCollPrimPoint &>( b ).mfValues,
			 static_cast<EFAnimCollPrimPoint &>( out ).mfValues, 4 );
		break;
	case EF_ANIM_COLL_SPHERE: {
		const auto & sa = static_cast<const EFAnimCollPrimSphere &>( a );
		const auto & sb = static_cast<const EFAnimCollPrimSphere &>( b );
		auto & so = static_cast<EFAnimCollPrimSphere &>( out );
		mix( sa.mfOffset, sb.mfOffset, so.mfOffset, 3 );
		mix( &sa.mfRadius, &sb.mfRadius, &so.mfRadius, 1 );
		break;
	}
	case EF_ANIM_COLL_BOX: {
		const auto & sa = static_cast<const EFAnimCollPrimBox &>( a );
		const auto & sb = static_cast<const EFAnimCollPrimBox &>( b );
		auto & so = static_cast<EFAnimCollPrimBox &>( out );
		mix( sa.mfOffset, sb.mfOffset, so.mfOffset, 3 );
		mix( sa.mfHalfExtents, sb.mfHalfExtents, so.mfHalfExtents, 3 );
		break;
	}
	default: {
		const auto & sa = static_cast<const EFAnimCollPrimSweptSphere &>( a );
		const auto & sb = static_cast<const EFAnimCollPrimSweptSphere &>( b );
		auto & so = static_cast<EFAnimCollPrimSweptSphere &>( out );
		mix( sa.mfOffset, sb.mfOffset, so.mfOffset, 3 );
		mix( &sa.mfRadius, &sb.mfRadius, &so.mfRadius, 1 );
		mix( sa.mfSegment, sb.mfSegment, so.mfSegment, 3 );
		break;
	}
	}
	out.mpNext = next;
}

void EFAnimBlendNode::BlendPrimColl( DTWorkMemory & workMemory, const f32 w ) {
	DTAttrib & out = moOutputs[1];
	if ( mpGameObjectOwner == nullptr || mpGameObjectOwner->mpoPhysic == nullptr ) {
		return;
	}
	out.mpDataBlock = nullptr;
	out.muiNbStruct = 0;
	const EFAnimNode * const first = static_cast<const EFAnimNode *>( mpChild );
	const EFAnimNode * const second = first != nullptr ? static_cast<const EFAnimNode *>( first->mpNext ) : nullptr;
	const DTAttrib * attribA = muiBlendMode == EF_BLEND_FROM_POSE ? &moOutputs[2] : ( first != nullptr ? first->GetOutput( AT_COLLPRIM ) : nullptr );
	const DTAttrib * attribB = muiBlendMode == EF_BLEND_FROM_POSE ? ( first != nullptr ? first->GetOutput( AT_COLLPRIM ) : nullptr )
																  : ( second != nullptr ? second->GetOutput( AT_COLLPRIM ) : nullptr );
	const EFAnimCollPrim * a = attribA != nullptr ? static_cast<const EFAnimCollPrim *>( attribA->mpDataBlock ) : nullptr;
	const EFAnimCollPrim * b = attribB != nullptr ? static_cast<const EFAnimCollPrim *>( attribB->mpDataBlock ) : nullptr;
	if ( mbAdditive != 0 ) {
		out.mpDataBlock = const_cast<EFAnimCollPrim *>( a );
		out.muiNbStruct = attribA != nullptr ? attribA->muiNbStruct : 0;
	} else {
		PrimChain chain;
		// The global spheres, then the translations, whichever exist.
		for ( const u32 kind : { u32( EF_ANIM_COLL_BSPHERE ), u32( EF_ANIM_COLL_TRANSLATION ) } ) {
			const bool hasA = a != nullptr && a->muiKind == kind;
			const bool hasB = b != nullptr && b->muiKind == kind;
			if ( hasA && hasB ) {
				chain.Append( MixRecords( *a, *b, w, workMemory ) );
			} else if ( hasA || hasB ) {
				chain.Append( CopyRecord( hasA ? *a : *b, workMemory ) );
			}
			a = hasA ? a->mpNext : a;
			b = hasB ? b->mpNext : b;
		}
		while ( a != nullptr || b != nullptr ) {
			if ( a != nullptr && b != nullptr && a->muiIndex == b->muiIndex && a->muiKind == b->muiKind ) {
				chain.Append( MixRecords( *a, *b, w, workMemory ) );
				a = a->mpNext;
				b = b->mpNext;
			} else if ( b == nullptr || ( a != nullptr && a->muiIndex < b->muiIndex ) ) {
				chain.Append( CopyRecord( *a, workMemory ) );
				a = a->mpNext;
			} else {
				chain.Append( CopyRecord( *b, workMemory ) );
				if ( a != nullptr && a->muiIndex == b->muiIndex ) {
					a = a->mpNext;
				}
				b = b->mpNext;
			}
		}
		out.mpDataBlock = chain.first;
		out.muiNbStruct = chain.count;
	}
	if ( ( moOutputs[0].muiState & EF_ATTRIB_OBJECT_ARRAY ) != 0 &&
		 ( mpParent == nullptr || static_cast<const DTOperator *>( mpParent )->meType != OP_Blend ) ) {
		SetCollPrimData();
	}
}

EFAnimNode * EFAnimBlendNode::TimeOut( f32 * dt ) {
	EFAnimNode * survivor = static_cast<EFAnimNode *>( mpChild );
	if ( muiBlendMode == EF_BLEND_FROM_POSE ) {
		if ( dt != nullptr ) {
			*dt = -mfTimeToLive;
		}
	} else if ( muiBlendMode == EF_BLEND_CROSSFADE && survivor != nullptr ) {
		survivor = static_cast<EFAnimNode *>( survivor->mpNext );
	}
	DTNode * const parent = mpParent;
	const bool wasFirst = parent != nullptr && parent->mpChild == this;
	LeaveParent();
	if ( survivor == nullptr ) {
		return nullptr;
	}
	survivor->LeaveParent();
	if ( parent != nullptr ) {
		if ( wasFirst || parent->mpChild == nullptr ) {
			parent->AddChild( survivor );
		} else {
			DTNode * const front = parent->mpChild;
			front->LeaveParent();
			parent->AddChild( survivor );
			parent->AddChild( front );
		}
	}
	DTAttrib & out = moOutputs[0];
	DTAttrib * const survivorOut = survivor->GetOutput( AT_TRANSFO );
	if ( ( out.muiState & EF_ATTRIB_OBJECT_ARRAY ) != 0 && survivorOut != nullptr ) {
		if ( mp3dObj != nullptr && survivorOut->mpDataBlock != nullptr && survivorOut->mpDataBlock != out.mpDataBlock ) {
			mp3dObj->ReleaseTransfo( Transforms( *survivorOut ) );
		}
		// The object's array passes to the survivor.
		survivorOut->mpDataBlock = out.mpDataBlock;
		survivorOut->muiState = EF_ATTRIB_OBJECT_ARRAY | EF_ATTRIB_SKELETAL;
		survivorOut->muiNbStruct = mp3dObj != nullptr ? mp3dObj->GetNbTransfo() : 0;
		out.mpDataBlock = nullptr;
		out.muiNbStruct = 0;
		out.muiState = 0;
	}
	const bool parentBlends = parent != nullptr && static_cast<const DTOperator *>( parent )->meType == OP_Blend;
	if ( !parentBlends && survivor->meType != OP_Blend && ( survivor->muiAnimState & AS_AT_END ) != 0 ) {
		survivor->muiAnimState |= AS_REFRESH;
	}
	return survivor;
}

bool EFAnimBlendNode::Stop() {
	LeaveParent();
	ReleaseOutput();
	FreeFrozenPose();
	while ( mpChild != nullptr ) {
		EFAnimNode * const child = static_cast<EFAnimNode *>( mpChild );
		if ( child->Stop() ) {
			child->LeaveParent();
			delete child;
		} else if ( child->mpParent == this ) {
			child->LeaveParent();
		}
	}
	return true;
}
