/*
	Reference model of one object's animation tree, kept by the random
	suite beside the real manager: plain nodes with child vectors, the
	play, stop, blend and evaluation rules written out directly, and the
	expected pose of the object's joints. It never calls the code under
	test; the maths are DT4's.

	Poses: a scripted node's pose is constant, so a joint's expected value
	is known whenever every input it mixes is known. An input read from an
	object-wide array may hold stale slots for joints its node does not
	write; those joints are left unknown (not compared) rather than guessed.
*/
#ifndef ANIM_REFERENCE_MODEL_H
#define ANIM_REFERENCE_MODEL_H

#include "framework/graphics/animation/AnimTestSupport.h"

#include "datatypes/maths/DTLimits.h"
#include "datatypes/maths/DTMatrix.h"

#include <optional>

namespace animtest {

using ModelPose = std::vector<std::optional<DTTransfo>>;

struct ModelNode {
	enum Kind { ROOT, SKELETAL, MORPH, BLEND } kind = ROOT;
	u32							index = 0;
	ModelNode*					parent = nullptr;
	std::vector<ModelNode*>		kids;
	u32							state = AS_STOPPED;
	u32							group = 0;
	f32							time = 0.0f;
	f32							duration = 0.0f;
	f32							ttl = DT_MAX_FLOAT;
	// Skeletal nodes.
	std::vector<u32>			joints;
	u32							seed = 0;
	bool						additiveData = false;
	// Blend nodes.
	u32							mode = 0;
	u32							uid = 0;
	f32							weight = 0.0f, elapsed = 0.0f, blendTime = 0.0f, timeIn = 0.0f, timeOut = 0.0f;
	f32							newWeight = 0.0f, changeTime = 0.0f, sound = -1.0f;
	bool						additive = false;
	ModelPose					frozen;
	ModelPose					out;
};

class ModelManager {
public:
	ModelManager( const u32 owner, const u32 joints, std::vector<Heard>& log ) : muiOwner( owner ), muiJoints( joints ), mLog( log ) {
		mRoot.ttl = DT_MAX_FLOAT;
		mObject.assign( joints, std::nullopt );
	}

	ModelNode& AddSkeletal( const u32 index, const std::vector<u32>& joints, const u32 seed, const f32 duration, const u32 group,
							const bool additive ) {
		ModelNode& n = Add( index, ModelNode::SKELETAL );
		n.joints = joints;
		n.seed = seed;
		n.duration = duration;
		n.group = group;
		n.additiveData = additive;
		n.out.assign( muiJoints, std::nullopt );
		for ( const u32 j : joints ) {
			DTTransfo t;
			ScriptedPose( seed, j, t );
			n.out[j] = t;
		}
		return n;
	}
	ModelNode& AddMorph( const u32 index, const f32 duration ) {
		ModelNode& n = Add( index, ModelNode::MORPH );
		n.duration = duration;
		return n;
	}

	// --- What logic asks ---

	void Play( const u32 id, u32 flags, const f32 t ) {
		ModelNode* const n = Lookup( id );
		if ( n == nullptr ) {
			return;
		}
		if ( n->kind == ModelNode::SKELETAL ) {
			PlayHAnim( *n, flags, EF_ANIM_NO_TARGET, t, nullptr, true );
			return;
		}
		if ( n->state != AS_STOPPED ) {
			StopNode( *n );
		}
		if ( ModelNode* const e = FindExcl( *n, First( mRoot ) ) ) {
			StopNode( *e );
		}
		Attach( mRoot, *n, true );
		n->state = flags;
	}
	void PlayBlend( const u32 id, const u32 flags, const u32 target, const f32 t, const EFBlendParams* p ) {
		ModelNode* const n = Lookup( id );
		if ( n != nullptr && n->kind == ModelNode::SKELETAL ) {
			PlayHAnim( *n, flags, target, t, p, false );
		}
	}
	void Stop( const u32 id ) {
		ModelNode* const n = Lookup( id );
		if ( n == nullptr || n->state == AS_STOPPED ) {
			return;
		}
		if ( n->kind == ModelNode::SKELETAL ) {
			StopHAnim( *n );
		} else {
			StopNode( *n );
		}
	}
	void StopAll() {
		while ( !mRoot.kids.empty() ) {
			StopNode( *mRoot.kids.front() );
		}
	}
	void ChangeBlendParam( const EFBlendParams& p ) {
		ModelNode* const b = FindBlend( First( mRoot ), p.uiBlendNodeID );
		if ( b == nullptr || b->mode == EF_BLEND_FROM_POSE || b->mode == EF_BLEND_CROSSFADE ) {
			return;
		}
		if ( p.fTimeIn > 0.0f ) {
			b->weight = Weight( *b, 0.0f );
			b->mode = EF_BLEND_CHANGE;
			b->elapsed = 0.0f;
			b->newWeight = p.fBlendFactor;
			b->changeTime = p.fTimeIn;
		} else {
			b->weight = p.fBlendFactor;
		}
		if ( p.fTimeOut > 0.0f ) {
			b->ttl = b->timeOut = p.fTimeOut;
		}
	}
	void BeginTree() { mbBuilding = true; }
	void EndTree() {
		mbBuilding = false;
		Refresh( First( mRoot ) );
	}
	void Update( const f32 dt, const u32 clip, const bool paused, const bool post ) {
		muiClip = clip;
		if ( clip != EF_ANIM_CLIP_ALL && !paused ) {
			Evaluate( mRoot, dt );
		}
		if ( post ) {
			mLog.push_back( { NO_POST_ANIMATION, muiOwner, muiOwner, 0 } );
		}
	}

	ModelNode&		Root() { return mRoot; }
	ModelNode&		Node( const u32 index ) { return *mNodes[index]; }
	const ModelPose& ObjectPose() const { return mObject; }
	bool			Building() const { return mbBuilding; }

private:
	ModelNode& Add( const u32 index, const ModelNode::Kind kind ) {
		if ( mNodes.size() <= index ) {
			mNodes.resize( index + 1 );
		}
		mNodes[index] = std::make_unique<ModelNode>();
		mNodes[index]->kind = kind;
		mNodes[index]->index = index;
		return *mNodes[index];
	}
	ModelNode* Lookup( const u32 id ) {
		const u32 i = id - BASE;
		return i < mNodes.size() ? mNodes[i].get() : nullptr;
	}
	ModelNode* NewBlend( const u32 mode, const ModelNode& first ) {
		mBlends.push_back( std::make_unique<ModelNode>() );
		ModelNode& b = *mBlends.back();
		b.kind = ModelNode::BLEND;
		b.mode = mode;
		b.group = first.group;
		b.out.assign( muiJoints, std::nullopt );
		return &b;
	}

	// --- Links ---

	static ModelNode* First( const ModelNode& n ) { return n.kids.empty() ? nullptr : n.kids.front(); }
	static ModelNode* Next( const ModelNode& n ) {
		if ( n.parent == nullptr ) {
			return nullptr;
		}
		const std::vector<ModelNode*>& k = n.parent->kids;
		for ( size_t i = 0; i + 1 < k.size(); i++ ) {
			if ( k[i] == &n ) {
				return k[i + 1];
			}
		}
		return nullptr;
	}
	static void Leave( ModelNode& n ) {
		if ( n.parent != nullptr ) {
			std::erase( n.parent->kids, &n );
			n.parent = nullptr;
		}
	}
	// As first child, or behind the parent's current first child.
	static void Attach( ModelNode& parent, ModelNode& n, const bool first ) {
		Leave( n );
		n.parent = &parent;
		parent.kids.insert( parent.kids.begin() + ( first || parent.kids.empty() ? 0 : 1 ), &n );
	}
	static bool IsBlend( const ModelNode* n ) { return n != nullptr && n->kind == ModelNode::BLEND; }
	static bool Posed( const ModelNode& n ) { return n.kind == ModelNode::SKELETAL || n.kind == ModelNode::BLEND; }

	// --- Searches ---

	static bool SameKind( const ModelNode& x, const ModelNode& n ) { return x.kind == n.kind || ( Posed( x ) && Posed( n ) ); }
	ModelNode* FindExcl( const ModelNode& n, ModelNode* x, const bool exclusive = true ) {
		if ( x == nullptr ) {
			return nullptr;
		}
		if ( ( x->group == n.group ) == exclusive && SameKind( *x, n ) ) {
			return x;
		}
		if ( ModelNode* const found = FindExcl( n, First( *x ), exclusive ) ) {
			return found;
		}
		return FindExcl( n, Next( *x ), exclusive );
	}
	ModelNode* FindBlend( ModelNode* x, const u32 uid ) {
		if ( x == nullptr ) {
			return nullptr;
		}
		if ( IsBlend( x ) && x->uid == uid ) {
			return x;
		}
		if ( ModelNode* const found = FindBlend( Next( *x ), uid ) ) {
			return found;
		}
		return FindBlend( First( *x ), uid );
	}
	static bool Contains( const ModelNode* top, const ModelNode* n ) {
		for ( ; top != nullptr && n != nullptr; n = n->parent ) {
			if ( n == top ) {
				return true;
			}
		}
		return false;
	}

	// --- Node rules ---

	void Notify( const ModelNode& n, const u32 type ) { mLog.push_back( { type, muiOwner, n.index, n.index } ); }

	// True: the node is gone (a blend).
	bool StopNode( ModelNode& n ) {
		Leave( n );
		if ( n.kind == ModelNode::BLEND ) {
			while ( !n.kids.empty() ) {
				StopNode( *n.kids.front() );
			}
			return true;
		}
		if ( n.state != AS_STOPPED ) {
			n.state = AS_STOPPED;
			n.time = 0.0f;
			Notify( n, NO_ANIMATION_STOP );
		}
		return false;
	}
	// The mask on n, its subtree and every following sibling's.
	static void ChangeState( ModelNode& n, const u32 mask, const bool set ) {
		for ( ModelNode* x = &n; x != nullptr; x = Next( *x ) ) {
			x->state = set ? x->state | mask : x->state & ~mask;
			if ( ModelNode* const child = First( *x ) ) {
				ChangeState( *child, mask, set );
			}
		}
	}
	static void Advance( ModelNode& n, const f32 dt ) {
		if ( ( n.state & AS_STOPPED ) != 0 || !( n.duration > 0.0f ) ) {
			return;
		}
		n.time += dt;
		n.state &= ~AS_WRAPPED;
		if ( n.time >= n.duration ) {
			if ( n.state & AS_LOOP ) {
				for ( ; n.time > n.duration; n.state |= AS_WRAPPED ) {
					n.time -= n.duration;
				}
			} else if ( n.state & AS_CLAMP ) {
				n.time = n.duration;
				n.state |= AS_LAST_FRAME;
			}
		} else if ( n.time <= 0.0f ) {
			if ( n.state & AS_LOOP ) {
				for ( ; n.time < 0.0f; n.state |= AS_WRAPPED ) {
					n.time += n.duration;
				}
			} else if ( n.state & AS_CLAMP ) {
				n.time = 0.0f;
				n.state |= AS_LAST_FRAME;
			}
		}
		if ( n.state & AS_WRAPPED ) {
			n.state |= AS_LAST_FRAME;
		}
	}
	void EndTest( ModelNode& n ) {
		if ( ( n.state & AS_CLAMP ) && n.time == n.duration ) {
			n.state |= AS_AT_END;
		}
		if ( n.state & AS_LAST_FRAME ) {
			Notify( n, NO_ANIMATION_LAST_FRAME );
			n.state &= ~AS_LAST_FRAME;
		}
	}

	static f32 Weight( ModelNode& b, const f32 dt ) {
		f32 w = 1.0f;
		switch ( b.mode ) {
		case EF_BLEND_FROM_POSE:
		case EF_BLEND_CROSSFADE:
			return b.blendTime > 0.0f ? 1.0f - b.ttl / b.blendTime : 1.0f;
		case EF_BLEND_FADE_IN:
			b.elapsed += dt;
			if ( b.elapsed >= b.timeIn ) {
				b.elapsed = 0.0f;
				b.mode = EF_BLEND_HOLD;
				w = b.weight;
			} else {
				w = b.weight * b.elapsed / b.timeIn;
			}
			break;
		case EF_BLEND_HOLD:
			w = b.weight;
			break;
		case EF_BLEND_CHANGE:
			b.elapsed += dt;
			if ( b.elapsed < b.changeTime ) {
				w = b.weight + ( b.elapsed / b.changeTime ) * ( b.newWeight - b.weight );
			} else {
				b.mode = EF_BLEND_HOLD;
				b.weight = b.newWeight;
				w = b.weight;
				b.elapsed = b.changeTime = b.newWeight = 0.0f;
			}
			break;
		case EF_BLEND_FADE_OUT:
			b.elapsed += dt;
			if ( b.elapsed >= b.timeOut ) {
				b.elapsed = b.timeOut;
				return 0.0f;
			}
			return b.weight * ( 1.0f - b.elapsed / b.timeOut );
		default:
			return 1.0f;
		}
		if ( b.ttl < b.timeOut ) {
			b.weight = w;
			b.mode = EF_BLEND_FADE_OUT;
			b.elapsed = b.timeOut - b.ttl;
			w = b.weight * ( 1.0f - b.elapsed / b.timeOut );
		}
		return w;
	}

	// --- Poses ---

	static DTQuaternion Rotation( const DTTransfo& t ) {
		if ( ( t.muiState & EF_TRANSFO_EULER ) == 0 ) {
			return t.mRotation;
		}
		DTQuaternion q;
		q.EulerToQuatf( t.mEulerRotation );
		return q;
	}
	static DTTransfo Mix( const DTTransfo& a, const DTTransfo& b, const f32 w ) {
		if ( w == 0.0f || w == 1.0f ) {
			return w == 0.0f ? a : b;
		}
		DTTransfo t = a;
		t.mRotation.QLerp( Rotation( a ), Rotation( b ), w );
		t.mTranslation = a.mTranslation + ( b.mTranslation - a.mTranslation ) * w;
		t.mScaling = a.mScaling + ( b.mScaling - a.mScaling ) * w;
		t.muiState = EF_TRANSFO_QUAT_VALID;
		return t;
	}
	static DTTransfo Add( const DTTransfo& a, const DTTransfo& b, const f32 w ) {
		if ( w == 0.0f ) {
			return a;
		}
		DTQuaternion layer;
		layer.Lerp( DTQuaternion( 0.0f, 0.0f, 0.0f, 1.0f ), Rotation( b ), w );
		DTMatrix m;
		std::memset( &m, 0, sizeof( m ) );
		const DTQuaternion qa = Rotation( a );
		qa.QuatToMat( &m );
		const DTVector3d shift = b.mTranslation * w;
		// Row vectors, as the 3D library transforms them.
		const DTVector3d moved = *m.GetRight() * shift.x + *m.GetUp() * shift.y + *m.GetAt() * shift.z;
		DTTransfo t = a;
		t.mRotation = qa * layer;
		t.mTranslation = a.mTranslation + moved;
		t.mScaling = a.mScaling + b.mScaling * w;
		t.muiState = 0;
		return t;
	}

	// A blend's output from its inputs at weight w.
	void Blend( ModelNode& b, const f32 w ) {
		const ModelPose& pa = b.mode == EF_BLEND_FROM_POSE ? b.frozen : b.kids[0]->out;
		const ModelPose& pb = b.kids[b.mode == EF_BLEND_FROM_POSE ? 0 : 1]->out;
		for ( u32 j = 0; j < muiJoints; j++ ) {
			const std::optional<DTTransfo>& a = pa[j];
			const std::optional<DTTransfo>& c = pb[j];
			std::optional<DTTransfo>& o = b.out[j];
			o.reset();
			if ( b.additive ) {
				if ( a && ( c || w == 0.0f ) ) {
					o = c ? Add( *a, *c, w ) : *a;
				}
			} else if ( w == 0.0f ? bool( a ) : w == 1.0f ? bool( c ) : a && c ) {
				o = w == 0.0f ? *a : w == 1.0f ? *c : Mix( *a, *c, w );
			}
		}
	}

	// --- Evaluation ---

	void UpdateNode( ModelNode& n, const f32 dt ) {
		const bool atRoot = n.parent == &mRoot;
		switch ( n.kind ) {
		case ModelNode::ROOT:
			return;
		case ModelNode::MORPH:
			Advance( n, dt );
			EndTest( n );
			return;
		case ModelNode::SKELETAL:
			if ( !atRoot && ( n.state & AS_AT_END ) ) {
				n.state |= AS_REFRESH;
			}
			if ( n.state & ( AS_AT_END | AS_REFRESH | AS_HOLD ) ) {
				if ( ( n.state & AS_AT_END ) && !( n.state & AS_REFRESH ) && !IsBlend( n.parent ) ) {
					return;
				}
				n.state &= ~AS_REFRESH;
				Write( n );
				return;
			}
			Advance( n, dt );
			Write( n );
			EndTest( n );
			return;
		case ModelNode::BLEND:
			Blend( n, Weight( n, dt ) );
			Write( n );
			return;
		}
	}
	// A subtree at the root writes the object's joints.
	void Write( const ModelNode& n, const bool atRoot = false ) {
		if ( n.parent != &mRoot && !atRoot ) {
			return;
		}
		for ( u32 j = 0; j < muiJoints; j++ ) {
			if ( n.kind == ModelNode::BLEND || n.out[j] ) {
				mObject[j] = n.out[j];
			}
		}
	}

	void Evaluate( ModelNode& x, const f32 dt ) {
		x.ttl -= dt;
		if ( x.ttl < 0.0f ) {
			ModelNode* const next = Next( x );
			f32 carried = dt;
			ModelNode* const survivor = TimeOut( x, carried );
			StopNode( x );
			if ( survivor != nullptr ) {
				ChangeState( *survivor, AS_TRANSITION_MASK, false );
				Evaluate( *survivor, carried );
			} else if ( next != nullptr ) {
				Evaluate( *next, dt );
			}
			return;
		}
		if ( ModelNode* const child = First( x ) ) {
			Evaluate( *child, dt );
		}
		if ( ModelNode* const next = Next( x ) ) {
			Evaluate( *next, dt );
		}
		if ( muiClip != EF_ANIM_CLIP_HIERARCHY ) {
			UpdateNode( x, dt );
			return;
		}
		Advance( x, dt );
		EndTest( x );
		if ( x.state & AS_AT_END ) {
			x.state |= AS_REFRESH;
		}
	}
	ModelNode* TimeOut( ModelNode& b, f32& dt ) {
		ModelNode* const survivor = b.mode != EF_BLEND_CROSSFADE ? First( b ) : b.kids.size() > 1 ? b.kids[1] : nullptr;
		if ( b.mode == EF_BLEND_FROM_POSE ) {
			dt = -b.ttl;
		}
		ModelNode* const parent = b.parent;
		const bool first = parent != nullptr && First( *parent ) == &b;
		Leave( b );
		if ( survivor == nullptr ) {
			return nullptr;
		}
		Leave( *survivor );
		if ( parent != nullptr ) {
			Attach( *parent, *survivor, first );
		}
		if ( !IsBlend( parent ) && !IsBlend( survivor ) && ( survivor->state & AS_AT_END ) ) {
			survivor->state |= AS_REFRESH;
		}
		return survivor;
	}
	// The pose of a subtree now, time standing.
	void Refresh( ModelNode* x ) {
		while ( x != nullptr && !Posed( *x ) ) {
			x = Next( *x );
		}
		if ( x == nullptr ) {
			return;
		}
		Refresh( First( *x ) );
		Refresh( Next( *x ) );
		x->state |= AS_REFRESH;
		UpdateNode( *x, 0.0f );
		x->state &= ~AS_REFRESH;
	}

	// --- Blend nodes ---

	ModelNode* FromPose( ModelNode& n, const ModelPose& pose, const f32 t ) {
		ModelNode* const b = NewBlend( EF_BLEND_FROM_POSE, n );
		b->blendTime = b->ttl = t;
		b->frozen = pose;
		for ( std::optional<DTTransfo>& f : b->frozen ) {
			if ( f && ( f->muiState & EF_TRANSFO_EULER ) ) {
				f->mRotation = Rotation( *f );
				f->muiState = ( f->muiState & ~EF_TRANSFO_EULER ) | EF_TRANSFO_QUAT_VALID;
			}
		}
		Attach( *b, n, true );
		return b;
	}
	ModelNode* CrossFade( ModelNode& a, ModelNode& n, const f32 t ) {
		ModelNode* const b = NewBlend( EF_BLEND_CROSSFADE, a );
		b->blendTime = b->ttl = t;
		ModelNode* first = &a;
		if ( IsBlend( &a ) && ( a.mode == EF_BLEND_FROM_POSE || a.mode == EF_BLEND_CROSSFADE ) ) {
			first = a.kids[a.mode == EF_BLEND_FROM_POSE ? 0 : 1];
			Leave( *first );
			StopNode( a );
		}
		Attach( *b, n, true );
		Attach( *b, *first, true );
		return b;
	}
	ModelNode* Layer( ModelNode& a, ModelNode& n, const EFBlendParams* p ) {
		ModelNode* const b = NewBlend( EF_BLEND_FADE_IN, a );
		Leave( a );
		const bool same = a.group == n.group;
		b->group = same ? a.group : 0xFFFFFFFF;
		b->uid = p != nullptr ? p->uiBlendNodeID : 0xBBFFFFFF;
		b->timeIn = p != nullptr ? p->fTimeIn : 0.1f;
		b->weight = p != nullptr ? p->fBlendFactor : 1.0f;
		b->timeOut = p != nullptr ? p->fTimeOut : 0.1f;
		if ( p != nullptr && p->fSoundCBLimit != -1.0f && same ) {
			b->sound = p->fSoundCBLimit;
		}
		if ( b->timeOut != 0.0f ) {
			b->ttl = b->timeOut + n.duration;
		}
		Attach( *b, n, true );
		Attach( *b, a, true );
		Additive( *b );
		return b;
	}
	static void Additive( ModelNode& b ) {
		b.additive = b.mode != EF_BLEND_FROM_POSE && b.mode != EF_BLEND_CROSSFADE && b.kids.size() > 1 &&
					 b.kids[1]->kind == ModelNode::SKELETAL && b.kids[1]->additiveData;
	}

	// --- Skeletal nodes in the tree ---

	void PlayHAnim( ModelNode& n, u32 f, const u32 target, const f32 t, const EFBlendParams* p, const bool interpolate ) {
		if ( n.state != AS_STOPPED && ( f & AS_CROSSFADE ) ) {
			f = ( f & ~AS_CROSSFADE ) | AS_BLEND_FROM_POSE;
		}
		if ( !Connect( n, f, target, t, p, interpolate ) ) {
			return;
		}
		n.state = f;
		if ( !mbBuilding ) {
			Refresh( First( mRoot ) );
		}
	}
	// The pose a subtree shows now: the object's joints when it is at the
	// root, else its own output.
	ModelPose Freeze( ModelNode& e, const bool atRoot ) {
		Refresh( &e );
		if ( atRoot ) {
			Write( e, true );
		}
		return atRoot ? mObject : e.out;
	}
	bool Connect( ModelNode& n, u32& f, const u32 target, const f32 t, const EFBlendParams* p, const bool interpolate ) {
		ModelNode* parent = nullptr;
		bool first = true;
		ModelNode* sub = &n;
		if ( target == EF_ANIM_NO_TARGET ) {
			ModelNode* e = FindExcl( n, First( mRoot ) );
			if ( n.parent != nullptr && !Contains( e, &n ) ) {
				StopHAnim( n );
				e = FindExcl( n, First( mRoot ) );
			}
			if ( interpolate && ( e == nullptr || e->parent != &mRoot ) ) {
				if ( FindExcl( n, First( mRoot ), false ) != nullptr ) {
					Refresh( First( mRoot ) );
					if ( f & AS_CROSSFADE ) {
						f = ( f & ~AS_CROSSFADE ) | AS_BLEND_FROM_POSE;
					}
					ModelNode* cur = First( mRoot );
					while ( cur != nullptr && !Posed( *cur ) ) {
						cur = Next( *cur );
					}
					ModelPose pose( muiJoints );
					if ( cur != nullptr ) {
						pose = mObject;
						Leave( *cur );
						StopNode( *cur );
					}
					Leave( n );
					sub = FromPose( n, pose, t );
					ChangeState( *sub, f & ( AS_HOLD | AS_BLEND_FROM_POSE ), true );
					parent = &mRoot;
				} else {
					f &= ~AS_TRANSITION_MASK;
				}
			} else if ( e == nullptr ) {
				f &= ~AS_TRANSITION_MASK;
			} else {
				parent = e->parent;
				first = First( *parent ) == e;
				if ( f & AS_TRANSITION_MASK ) {
					const bool atRoot = e->parent == &mRoot;
					Leave( *e );
					if ( f & ( AS_HOLD | AS_BLEND_FROM_POSE ) ) {
						const ModelPose pose = Freeze( *e, atRoot );
						StopNode( *e );
						sub = FromPose( n, pose, t );
						ChangeState( *sub, f & ( AS_HOLD | AS_BLEND_FROM_POSE ), true );
					} else {
						sub = CrossFade( *e, n, t );
						ChangeState( *sub, AS_CROSSFADE, true );
					}
				} else {
					StopNode( *e );
					Leave( n );
				}
			}
		} else {
			ModelNode* tgt = nullptr;
			if ( target & EF_BLEND_UID_MASK ) {
				tgt = FindBlend( First( mRoot ), target );
			} else if ( ModelNode* const x = Lookup( target ); x != nullptr && x->kind == ModelNode::SKELETAL ) {
				tgt = x;
			}
			bool inBlend = false;
			for ( const ModelNode* a = n.parent; a != nullptr; a = a->parent ) {
				inBlend = inBlend || IsBlend( a );
			}
			if ( tgt == nullptr || tgt->parent == nullptr || tgt == &n || inBlend ) {
				return false;
			}
			parent = tgt->parent;
			first = First( *parent ) == tgt;
			Leave( *tgt );
			sub = Layer( *tgt, n, p );
			const u32 mask = tgt->state & AS_TRANSITION_MASK;
			ChangeState( *sub, mask, true );
			f = ( f & ~AS_TRANSITION_MASK ) | mask;
		}
		if ( parent == nullptr ) {
			if ( ModelNode* const other = FindExcl( n, First( mRoot ), false ) ) {
				parent = other->parent;
				sub = Layer( *other, *sub, p );
			} else {
				parent = &mRoot;
			}
		}
		Attach( *parent, *sub, first );
		if ( IsBlend( parent ) ) {
			Additive( *parent );
		}
		return true;
	}
	// survivor takes gone's place (or goes behind the first child).
	void Replace( ModelNode& gone, ModelNode* survivor, const bool behindFirst ) {
		ModelNode* const grand = gone.parent;
		const bool wasFirst = grand != nullptr && First( *grand ) == &gone;
		if ( survivor != nullptr ) {
			Leave( *survivor );
		}
		StopNode( gone );
		if ( grand == nullptr || survivor == nullptr ) {
			return;
		}
		Attach( *grand, *survivor, behindFirst ? grand->kids.empty() : wasFirst );
		if ( IsBlend( grand ) ) {
			Additive( *grand );
		}
	}
	static ModelNode* Other( ModelNode& owner, ModelNode& child ) {
		for ( ModelNode* k : owner.kids ) {
			if ( k != &child ) {
				return k;
			}
		}
		return nullptr;
	}
	void StopHAnim( ModelNode& n ) {
		ModelNode* const p = n.parent;
		if ( !IsBlend( p ) ) {
			StopNode( n );
			return;
		}
		if ( p->mode == EF_BLEND_CROSSFADE && First( *p ) == &n ) {
			Replace( *p, Other( *p, n ), true );
		} else if ( p->mode == EF_BLEND_FROM_POSE || p->mode == EF_BLEND_CROSSFADE ) {
			if ( !IsBlend( p->parent ) ) {
				StopNode( *p );
			} else {
				Replace( *p->parent, Other( *p->parent, *p ), false );
			}
		} else {
			Replace( *p, Other( *p, n ), false );
		}
	}

	static constexpr u32 BASE = 10;

	u32										muiOwner;
	u32										muiJoints;
	std::vector<Heard>&						mLog;
	ModelNode								mRoot;
	ModelPose								mObject;
	std::vector<std::unique_ptr<ModelNode>>	mNodes;
	std::vector<std::unique_ptr<ModelNode>>	mBlends;
	u32										muiClip = EF_ANIM_CLIP_NONE;
	bool									mbBuilding = false;
};

}

#endif
