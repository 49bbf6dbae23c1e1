#include "framework/graphics/particles/PLEmitter_BC.h"

#include "datatypes/base/DTByteOrder.h"
#include "datatypes/maths/DTFrame.h"
#include "datatypes/maths/DTMatrix.h"
#include "framework/core/world/EFGameObject.h"
#include "framework/core/world/EFInstanceFlags.h"
#include "framework/core/world/EFWorld.h"
#include "framework/graphics/EFCamera.h"
#include "framework/graphics/EFCameraFrustum.h"
#include "framework/graphics/EFGraphicsMgr.h"
#include "framework/graphics/effects/EFFrameLender.h"
#include "framework/graphics/particles/PLMgr.h"
#include "framework/graphics/particles/PLType.h"
#include "framework/logic/EFGameLogicMgr.h"
#include "graphics3d/core/RwFrame.h"
#include "platform/runtime/RuntimeRand.h"

#include <cmath>
#include <cstring>

namespace {

// Offsets in a stored emitter block.
constexpr u32 BLK_NAME			= 0;
constexpr u32 BLK_TYPE			= 32;
constexpr u32 BLK_RUNNING		= 64;
constexpr u32 BLK_REPEAT		= 68;
constexpr u32 BLK_HAS_BOX		= 72;
constexpr u32 BLK_BOX_MIN		= 76;
constexpr u32 BLK_BOX_MAX		= 88;
constexpr u32 BLK_HAS_PLANE0	= 100;
constexpr u32 BLK_PLANE0		= 104;
constexpr u32 BLK_BOUNCE0		= 120;
constexpr u32 BLK_HAS_PLANE1	= 124;
constexpr u32 BLK_PLANE1		= 128;
constexpr u32 BLK_BOUNCE1		= 144;
constexpr u32 BLK_FLAGS			= 148;

// Degrees to radians, as the launch has always used it.
constexpr f32 DEGREES_TO_RADIANS	= 0.0174f;
// Random draws keep twelve bits.
constexpr s32 RANDOM_MASK			= 0xFFF;
constexpr u32 RANDOM_SHIFT			= 12;

// Camera slots of the graphics manager.
constexpr u32 CAMERA_SLOTS			= 2;

DTVector3d ReadVector( const u8 * at ) {
	return DTVector3d( DTReadBEF32( at ), DTReadBEF32( at + 4 ), DTReadBEF32( at + 8 ) );
}

// v through the matrix's rotation only.
DTVector3d Turn( const RwMatrix * m, const DTVector3d & v ) {
	return DTVector3d( v.x * m->right.x + v.y * m->up.x + v.z * m->at.x,
					   v.x * m->right.y + v.y * m->up.y + v.z * m->at.y,
					   v.x * m->right.z + v.y * m->up.z + v.z * m->at.z );
}

// An angle in degrees within +-spread / 2, from one draw.
f32 DrawAngle( const u32 spread ) {
	const s64 draw = static_cast<s64>( RuntimeRand() & RANDOM_MASK ) * static_cast<s64>( spread );
	const s32 degrees = static_cast<s32>( ( draw >> RANDOM_SHIFT ) - static_cast<s64>( spread >> 1 ) );
	return static_cast<f32>( degrees ) * DEGREES_TO_RADIANS;
}

bool WorldPaused() {
	return gpoWorldMgr != nullptr && gpoWorldMgr->GetPauseFlag() != 0;
}

PLLinkList<PLParticle> * FreeList() {
	return gpoPLParticleMgr != nullptr ? &gpoPLParticleMgr->GetFreeParticlesList() : nullptr;
}

} // namespace

PLEmitter_BC::PLEmitter_BC()
	: mui32Flags( PL_EMITTER_DEFAULT_FLAGS ),
	  mszName{},
	  mui32OwnerId( 0 ),
	  mui32NotifyTarget( PL_NO_TARGET ),
	  mui8Running( 0 ),
	  mui8Repeat( 0 ),
	  mfTimer( 0.0f ),
	  mui32ShapeFlags( 0 ),
	  mfBounce{ 1.0f, 1.0f },
	  mfClipRadius( 0.1f ) {
}

s32 PLEmitter_BC::Initialize( const u8 * block, const u32 size, EFGameObject * owner ) {
	if ( size != PL_EMITTER_BLOCK_SIZE || block == nullptr ) {
		return -1;
	}
	std::memcpy( mszName, block + BLK_NAME, PL_NAME_LENGTH );
	mszName[PL_NAME_LENGTH] = '\0';
	mui32OwnerId = owner != nullptr ? owner->GetUID() : 0;
	char typeName[PL_NAME_LENGTH + 1];
	std::memcpy( typeName, block + BLK_TYPE, PL_NAME_LENGTH );
	typeName[PL_NAME_LENGTH] = '\0';
	PLType_BC * const type = gpoPLParticleMgr != nullptr ? gpoPLParticleMgr->GetType( typeName ) : nullptr;
	if ( type == nullptr ) {
		return -1;
	}
	mpoType = static_cast<PLType *>( type );
	mui32Flags = DTReadBE32( block + BLK_FLAGS );
	if ( DTReadBE32( block + BLK_HAS_BOX ) != 0 ) {
		const DTVector3d min = ReadVector( block + BLK_BOX_MIN );
		const DTVector3d max = ReadVector( block + BLK_BOX_MAX );
		SetBox( &min, &max );
	}
	const u32 hasPlane[] = { BLK_HAS_PLANE0, BLK_HAS_PLANE1 };
	const u32 planeAt[] = { BLK_PLANE0, BLK_PLANE1 };
	const u32 bounceAt[] = { BLK_BOUNCE0, BLK_BOUNCE1 };
	for ( u32 i = 0; i < 2; i++ ) {
		if ( DTReadBE32( block + hasPlane[i] ) != 0 ) {
			moPlanes[i] = EFPlane( ReadVector( block + planeAt[i] ), DTReadBEF32( block + planeAt[i] + 12 ) );
			mfBounce[i] = DTReadBEF32( block + bounceAt[i] );
			mui32ShapeFlags |= PL_SHAPE_PLANE0 << i;
		}
	}
	mui8Repeat = DTReadBE32( block + BLK_REPEAT ) != 0 ? 1 : 0;
	if ( DTReadBE32( block + BLK_RUNNING ) != 0 ) {
		mui8Running = 1;
		mui32Flags &= ~PL_EMITTER_FROZEN;
	} else {
		mui8Running = 0;
		mui32Flags |= PL_EMITTER_FROZEN;
	}
	return 0;
}

void PLEmitter_BC::Start( const u32 repeat ) {
	mui8Running = 1;
	mui32Flags &= ~PL_EMITTER_FROZEN;
	mui8Repeat = repeat != 0 ? 1 : 0;
}

void PLEmitter_BC::ReleaseLender( const u32 lenderId ) {
	if ( lenderId == PL_NO_LENDER || mui32LenderId != lenderId ) {
		return;
	}
	mui32LenderId = PL_NO_LENDER;
	EFOwnFrameInPlace( *this );
}

void PLEmitter_BC::Reset() {
	ReleaseParticlesFromList();
	mui8Running = 0;
	mui32Flags |= PL_EMITTER_FROZEN;
}

void PLEmitter_BC::SetBox( const DTVector3d * min, const DTVector3d * max ) {
	moBoxMin = *min;
	moBoxSize = *max - *min;
	mui32ShapeFlags |= PL_SHAPE_BOX;
}

void PLEmitter_BC::SetCollisionPlane( const DTVector3d * normal, const DTVector3d * point, const f32 factor,
									  const u32 mask ) {
	DTVector3d n = *normal;
	n.Normalize();
	for ( u32 i = 0; i < 2; i++ ) {
		if ( ( mask & ( PL_SHAPE_PLANE0 << i ) ) != 0 ) {
			moPlanes[i] = EFPlane( n, n * *point );
			mfBounce[i] = factor;
			mui32ShapeFlags |= PL_SHAPE_PLANE0 << i;
		}
	}
}

s32 PLEmitter_BC::GetBBox( DTVector3d * min, DTVector3d * max, const u32 mask ) const {
	if ( moParticles.GetFirst() == nullptr ) {
		return PL_TYPE_BAD_KEY;
	}
	DTVector3d low( 1000000.0f, 1000000.0f, 1000000.0f );
	DTVector3d high( -1000000.0f, -1000000.0f, -1000000.0f );
	for ( const PLParticle * p = moParticles.GetFirst(); p != nullptr; p = p->mpoNext ) {
		const f32 * const at = &p->moPosition.x;
		f32 * const lows = &low.x;
		f32 * const highs = &high.x;
		for ( u32 axis = 0; axis < 3; axis++ ) {
			lows[axis] = at[axis] < lows[axis] ? at[axis] : lows[axis];
			highs[axis] = at[axis] > highs[axis] ? at[axis] : highs[axis];
		}
	}
	for ( u32 axis = 0; axis < 3; axis++ ) {
		if ( ( mask & ( 1u << ( 2 * axis ) ) ) != 0 ) {
			( &min->x )[axis] = ( &low.x )[axis];
		}
		if ( ( mask & ( 2u << ( 2 * axis ) ) ) != 0 ) {
			( &max->x )[axis] = ( &high.x )[axis];
		}
	}
	return 0;
}

void PLEmitter_BC::ReleaseParticlesFromList() {
	PLLinkList<PLParticle> * const freeList = FreeList();
	while ( PLParticle * const particle = moParticles.RemoveFirst() ) {
		particle->DestroyMatrix();
		if ( freeList != nullptr ) {
			freeList->AddFirst( particle );
		}
	}
}

const RwMatrix * PLEmitter_BC::GetWorldMatrix() const {
	return mpFrame != nullptr ? RwFrameGetLTM( mpFrame->GetRwFrame() ) : nullptr;
}

u32 PLEmitter_BC::LaunchParticle( const f32 dt ) {
	if ( ( mui32Flags & PL_EMITTER_PAUSE_WITH_WORLD ) != 0 ) {
		if ( WorldPaused() ) {
			mui32Flags |= PL_EMITTER_FROZEN;
			return 0;
		}
		mui32Flags &= ~PL_EMITTER_FROZEN;
	}
	if ( mpoType == nullptr || mui8Running == 0 || mpFrame == nullptr ) {
		return 0;
	}
	if ( mui8Repeat != 0 ) {
		mfTimer += dt;
		// A timer that was zero launches at once.
		if ( mfTimer != dt ) {
			if ( mfTimer < mpoType->mfPeriod ) {
				return 0;
			}
			mfTimer -= mpoType->mfPeriod;
		}
	}
	u32 launched = 0;
	// Once the pool is empty every further launch of the burst is dropped:
	// a stored or logic-set count never makes a long loop.
	PLLinkList<PLParticle> * const freeList = FreeList();
	for ( u32 i = 0; i < mpoType->mui32PerLaunch && freeList != nullptr && freeList->GetFirst() != nullptr; i++ ) {
		launched += LaunchParticleImmediately() != nullptr ? 1 : 0;
	}
	if ( mui8Repeat == 0 ) {
		mui8Running = 0;
	}
	return launched;
}

PLParticle * PLEmitter_BC::LaunchParticleImmediately() {
	PLLinkList<PLParticle> * const freeList = FreeList();
	const RwMatrix * const world = GetWorldMatrix();
	if ( freeList == nullptr || mpoType == nullptr || world == nullptr ) {
		return nullptr;
	}
	PLParticle * const particle = freeList->RemoveFirst();
	if ( particle == nullptr ) {
		return nullptr;
	}
	moParticles.AddFirst( particle );

	DTVector3d offset;
	if ( ( mui32ShapeFlags & PL_SHAPE_BOX ) != 0 ) {
		f32 * const axes = &offset.x;
		const f32 * const mins = &moBoxMin.x;
		const f32 * const sizes = &moBoxSize.x;
		for ( u32 axis = 0; axis < 3; axis++ ) {
			const s32 r = ( ( RuntimeRand() & RANDOM_MASK ) * 1000 ) >> RANDOM_SHIFT;
			axes[axis] = mins[axis] + sizes[axis] * static_cast<f32>( r ) / 1000.0f;
		}
		offset = Turn( world, offset );
	}

	const bool local = ( mui32Flags & PL_EMITTER_LOCAL_SPACE ) != 0;
	if ( ( mpoType->mui32Flags & PL_TYPE_ORIENTED ) != 0 ) {
		DTMatrix * const matrix = DTMatrix::CreateMatrix();
		if ( matrix == nullptr ) {
			// Without its matrix an oriented particle cannot be drawn or
			// moved as one: the launch is dropped.
			moParticles.Remove( nullptr, particle );
			freeList->AddFirst( particle );
			return nullptr;
		}
		if ( local ) {
			_rwMatrixSetIdentity( &matrix->oMat );
		} else {
			matrix->oMat = *world;
		}
		*matrix->GetPos() += offset;
		particle->mpoMatrix = matrix;
		particle->moPosition = *matrix->GetPos();
	} else if ( local ) {
		particle->moPosition = offset;
	} else {
		particle->moPosition = DTVector3d( world->pos.x, world->pos.y, world->pos.z ) + offset;
	}

	const f32 elevation = DrawAngle( mpoType->mui32Spread );
	const f32 azimuth = DrawAngle( mpoType->mui32Spread );
	const f32 ce = std::cos( elevation );
	const DTVector3d direction( ce * -std::sin( azimuth ), ce * std::cos( azimuth ), std::sin( elevation ) );
	particle->moVelocity = Turn( world, direction * mpoType->mfSpeed );
	particle->mfAge = 0.0f;
	particle->mfSize = mpoType->moSize.mfStart;
	return particle;
}

u32 PLEmitter_BC::UpdatePhysic( const f32 dt ) {
	if ( ( mui32Flags & PL_EMITTER_FROZEN ) != 0 || mpoType == nullptr ) {
		return moParticles.GetCount();
	}
	PLLinkList<PLParticle> * const freeList = FreeList();
	const PLType_BC & type = *mpoType;
	const bool oriented = ( type.mui32Flags & PL_TYPE_ORIENTED ) != 0;
	const f32 k = dt * type.mfDrag;
	PLParticle * prev = nullptr;
	PLParticle * particle = moParticles.GetFirst();
	while ( particle != nullptr ) {
		PLParticle * const next = particle->mpoNext;
		particle->mfAge += dt;
		if ( particle->mfAge > type.mfLifespan ) {
			moParticles.Remove( prev, particle );
			particle->DestroyMatrix();
			if ( freeList != nullptr ) {
				freeList->AddFirst( particle );
			}
			particle = next;
			continue;
		}
		// A particle launched before its type became oriented has no
		// matrix and moves as a plain one.
		DTMatrix * const matrix = oriented ? particle->mpoMatrix : nullptr;
		if ( matrix != nullptr ) {
			particle->moPosition = *matrix->GetPos();
		}
		DTVector3d & v = particle->moVelocity;
		v += type.moGravity * dt;
		v -= v * k;
		const DTVector3d & p = particle->moPosition;
		bool under[2] = { false, false };
		for ( u32 i = 0; i < 2; i++ ) {
			if ( ( mui32ShapeFlags & ( PL_SHAPE_PLANE0 << i ) ) != 0 ) {
				under[i] = !( moPlanes[i].moNormal * p - moPlanes[i].mfD > 0.0f );
			}
		}
		if ( under[0] && under[1] ) {
			v *= -0.5f * ( mfBounce[0] + mfBounce[1] );
		} else if ( under[0] || under[1] ) {
			const u32 i = under[1] ? 1 : 0;
			const DTVector3d & n = moPlanes[i].moNormal;
			const f32 twice = v * n * 2.0f;
			if ( twice < 0.0f ) {
				v -= n * twice;
			}
			v *= mfBounce[i];
		}
		particle->moPosition += v * dt;
		if ( matrix != nullptr ) {
			*matrix->GetPos() = particle->moPosition;
		}
		prev = particle;
		particle = next;
	}
	return moParticles.GetCount();
}

void PLEmitter_BC::UpdateClippingState() {
	if ( ( mui32Flags & ( PL_EMITTER_NO_DRAW_CLIPPED | PL_EMITTER_NO_UPDATE_CLIPPED ) ) == 0 ) {
		mui32ShapeFlags &= ~PL_SHAPE_CLIPPED;
		return;
	}
	const RwMatrix * const world = GetWorldMatrix();
	if ( world == nullptr || gpoGraphicsMgr == nullptr ) {
		return;
	}
	const DTVector3d centre( world->pos.x, world->pos.y, world->pos.z );
	bool visible = false;
	for ( u32 slot = 0; slot < CAMERA_SLOTS; slot++ ) {
		EFCamera * const camera = gpoGraphicsMgr->GetCamera( slot );
		if ( camera == nullptr || ( camera->muiFlags & EF_INSTANCE_ACTIVE ) == 0 || camera->GetFrame() == nullptr ) {
			continue;
		}
		EFRefreshWorldFrustum( *camera );
		bool inside = true;
		for ( u32 i = 0; i < EF_FRUSTUM_PLANES && inside; i++ ) {
			inside = camera->moWorldFrustum.moPlanes[i].Distance( centre ) <= mfClipRadius;
		}
		visible = visible || inside;
	}
	const bool clipped = ( mui32ShapeFlags & PL_SHAPE_CLIPPED ) != 0;
	if ( visible ) {
		if ( clipped ) {
			mui32ShapeFlags &= ~PL_SHAPE_CLIPPED;
			SendClipped( 0 );
		}
		return;
	}
	if ( !clipped ) {
		mui32ShapeFlags |= PL_SHAPE_CLIPPED;
		SendClipped( 1 );
		if ( ( mui32Flags & PL_EMITTER_RELEASE_ON_CLIP ) != 0 ) {
			ReleaseParticlesFromList();
		}
	}
}

void PLEmitter_BC::SendClipped( const u32 clipped ) const {
	if ( mui32NotifyTarget == PL_NO_TARGET || gpoGameLogicMgr == nullptr ) {
		return;
	}
	u32 data[2] = { clipped, muiUID };
	gpoGameLogicMgr->GetNotificationMgr().Notify( NO_EMITTER_CLIPPED, mui32NotifyTarget, muiUID, data, false );
}
