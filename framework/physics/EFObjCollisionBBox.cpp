/*
	EFObjCollisionBBox: sizing, the box's matrices, the box-box test and
	the queries. The polygon tests live in EFObjCollisionBBoxPolygon.cpp.
*/
#include "framework/physics/EFObjCollisionBBox.h"

#include "datatypes/maths/DTFrame.h"
#include "datatypes/maths/DTMatrix.h"
#include "framework/graphics/particles/PLParticle.h"
#include "framework/physics/EFPrimSpace.h"
#include "graphics3d/core/RwFrame.h"
#include "graphics3d/core/RwMatrix.h"
#include "graphics3d/core/RwMatrixCombine.h"

#include <cmath>
#include <initializer_list>
#include <limits>

namespace {

// Start values of a box-box test's entry time and push size.
constexpr f32 NO_ENTRY			= -100000.0f;
constexpr f32 NO_PUSH			= 100000.0f;
// Below this squared length two box axes are parallel: no cross axis.
constexpr f32 MIN_CROSS_AXIS	= 0.001f;
// Below this speed along a separating axis the boxes never meet.
constexpr f32 MIN_SEPARATE_SPEED	= 0.001f;
// Above this speed along an axis the boxes leave it at an exit time.
constexpr f32 MIN_EXIT_SPEED	= 0.0001f;
// Start of the ray's and the escape's deepest inside distance.
constexpr f32 NO_DEPTH			= -10000.0f;

// The box-box states.
constexpr u32 STATE_SEPARATED	= 0;
constexpr u32 STATE_ENTERING	= 1;
constexpr u32 STATE_OVERLAP		= 2;

// The frame's world matrix, or the identity for a box without a frame.
const RwMatrix * FrameMatrix( DTFrame * frame, RwMatrix & identity ) {
	if ( frame != nullptr ) {
		return RwFrameGetLTM( frame->GetRwFrame() );
	}
	_rwMatrixSetIdentity( &identity );
	return &identity;
}

// The shared work matrix, or a local one when no graphics manager made it.
RwMatrix * WorkMatrix( RwMatrix & local ) {
	return DTMatrix::mpoWork != nullptr ? DTAsRwMatrix( DTMatrix::mpoWork ) : &local;
}

f32 AbsSum( const DTVector3d & v ) {
	return std::fabs( v.x ) + std::fabs( v.y ) + std::fabs( v.z );
}

}

EFObjCollisionBBox::EFObjCollisionBBox( DTFrame * frame )
	: EFObjCollisionPrim( frame ), moHalfExtents(), mpoBoxToWorld( RwMatrixCreate() ), mpoWorldToBox( RwMatrixCreate() ),
	  mpoScaledTranspose( RwMatrixCreate() ) {
	SetShape( EF_PRIM_BBOX );
}

EFObjCollisionBBox::~EFObjCollisionBBox() {
	for ( RwMatrix * matrix : { mpoBoxToWorld, mpoWorldToBox, mpoScaledTranspose } ) {
		if ( matrix != nullptr ) {
			RwMatrixDestroy( matrix );
		}
	}
}

bool EFObjCollisionBBox::HasMatrices() const {
	return mpoBoxToWorld != nullptr && mpoWorldToBox != nullptr && mpoScaledTranspose != nullptr;
}

void EFObjCollisionBBox::SetHalfExtents( const DTVector3d & halfExtents ) {
	moHalfExtents = halfExtents;
	mfMaxRadius = std::sqrt( halfExtents * halfExtents );
}

void EFObjCollisionBBox::PrecalcPrimData() {
	EFObjCollisionPrim::PrecalcPrimData();
	if ( !HasMatrices() ) {
		return;
	}
	EFPlacePrimMatrices( mpoFrame, moPrimPos, mpoBoxToWorld, mpoWorldToBox );
	RwMatrix identity;
	const RwMatrix * const world = FrameMatrix( mpoFrame, identity );

	RwMatrix & transpose = *mpoScaledTranspose;
	transpose = *world;
	transpose.right = { world->right.x, world->up.x, world->at.x };
	transpose.up = { world->right.y, world->up.y, world->at.y };
	transpose.at = { world->right.z, world->up.z, world->at.z };
	transpose.pos = { 0.0f, 0.0f, 0.0f };
	const RwV3d scale = { moHalfExtents.x, moHalfExtents.y, moHalfExtents.z };
	RwMatrixScale( &transpose, &scale, rwCOMBINEPOSTCONCAT );
}

void EFObjCollisionBBox::Translate( const DTVector3d & v ) {
	EFObjCollisionPrim::Translate( v );
	if ( !HasMatrices() ) {
		return;
	}
	EFMovePrimMatrices( moPrimPos, mpoBoxToWorld, mpoWorldToBox );
}

u32 EFObjCollisionBBox::CheckEnvCollision( const EFCheckCollisionIn & in, EFCheckCollisionOut & out,
										   EFEnvCollisionPrim * polygon ) {
	return CheckSinglePolygonCollision( in, out, polygon, nullptr, nullptr, 1 );
}

u32 EFObjCollisionBBox::CheckObjPrimCollision( const EFCheckCollisionIn & in, EFCheckCollisionOut & out,
											   EFObjCollisionPrim * other ) {
	if ( !HasMatrices() ) {
		return 0;
	}
	switch ( other->mui32Shape ) {
	case EF_PRIM_SPHERE:
		return CheckSphereCollision( in, out, other );
	case EF_PRIM_SWEPT_SPHERE:
		return CheckSweptSphereCollision( in, out, other );
	case EF_PRIM_BBOX:
		return CheckBBoxCollision( in, out, other );
	case EF_PRIM_POLYGON:
		return CheckPolygonCollision( in, out, other );
	default:
		return 0;
	}
}

u32 EFObjCollisionBBox::CheckSphereCollision( const EFCheckCollisionIn & in, EFCheckCollisionOut & out,
											  EFObjCollisionPrim * other ) {
	return Mirror( in, out, other );
}

u32 EFObjCollisionBBox::CheckSweptSphereCollision( const EFCheckCollisionIn & in, EFCheckCollisionOut & out,
												   EFObjCollisionPrim * other ) {
	return Mirror( in, out, other );
}

bool EFObjCollisionBBox::CheckPointIntersection( const DTVector3d & point ) const {
	if ( !HasMatrices() ) {
		return false;
	}
	const DTVector3d q = EFTransformPoint( point, mpoWorldToBox );
	return std::fabs( q.x ) <= moHalfExtents.x && std::fabs( q.y ) <= moHalfExtents.y &&
		   std::fabs( q.z ) <= moHalfExtents.z;
}

u32 EFObjCollisionBBox::CheckParticlesIntersection( PLParticle * first, const bool count ) {
	if ( !HasMatrices() ) {
		return 0;
	}
	return EFWalkParticles( first, count, true, [&]( const PLParticle & particle ) {
		const DTVector3d q = EFTransformPoint( particle.moPosition, mpoWorldToBox );
		const f32 reach = particle.mfRadius;
		return std::fabs( q.x ) <= moHalfExtents.x + reach && std::fabs( q.y ) <= moHalfExtents.y + reach &&
			   std::fabs( q.z ) <= moHalfExtents.z + reach;
	} );
}

u32 EFObjCollisionBBox::RayIntersect( const RayIntersectIn & in, EFRayIntersectOut & out, f32 & t ) {
	if ( !HasMatrices() ) {
		return 0;
	}
	const DTVector3d o = EFTransformPoint( in.oStartVector, mpoWorldToBox );
	const DTVector3d dv = EFTransformVector( in.oDeplVector, mpoWorldToBox );
	f32 entry = 0.0f;
	f32 exit = t;
	u32 hitAxis = 0;
	f32 deepest = NO_DEPTH;
	for ( u32 a = 0; a < 3; a++ ) {
		const f32 oa = EFAxis( o, a );
		const f32 da = EFAxis( dv, a );
		const f32 ha = EFAxis( moHalfExtents, a );
		const f32 e = std::fabs( oa ) - ha;
		if ( e > 0.0f ) {
			if ( std::signbit( da ) == std::signbit( oa ) || da == 0.0f ) {
				return 0;
			}
			const f32 ta = e / std::fabs( da );
			if ( ta > entry ) {
				if ( ta > exit ) {
					return 0;
				}
				entry = ta;
				hitAxis = a;
			}
		} else if ( e > deepest && entry == 0.0f ) {
			deepest = e;
			hitAxis = a;
		}
		if ( da != 0.0f ) {
			const f32 far = da < 0.0f ? -( oa + ha ) / da : ( ha - oa ) / da;
			if ( far < exit ) {
				if ( entry > far ) {
					return 0;
				}
				exit = far;
			}
		}
	}
	t = entry;
	const DTVector3d axis = EFMatrixRow( mpoBoxToWorld, hitAxis );
	out.oIntersectionNormal = EFAxis( o, hitAxis ) < 0.0f ? -axis : axis;
	return 1;
}

f32 EFObjCollisionBBox::GetMinRadius() {
	return std::fmin( moHalfExtents.x, std::fmin( moHalfExtents.y, moHalfExtents.z ) );
}

void EFObjCollisionBBox::GetEscapeNoPF( const DTVector3d & position, DTVector3d & escape, DTVector3d & ) const {
	RwMatrix identity;
	const RwMatrix * const world = FrameMatrix( mpoFrame, identity );
	u32 vertical = 0;
	for ( u32 a = 1; a < 3; a++ ) {
		if ( std::fabs( EFMatrixRow( world, a ).y ) > std::fabs( EFMatrixRow( world, vertical ).y ) ) {
			vertical = a;
		}
	}
	RwMatrix local;
	RwMatrix * const inverse = WorkMatrix( local );
	RwMatrixInvert( inverse, world );
	const DTVector3d q = EFTransformPoint( position, inverse );

	DTVector3d away;
	u32 counted = 0;
	f32 largest = NO_DEPTH;
	u32 remembered = vertical == 0 ? 1 : 0;
	for ( u32 a = 0; a < 3; a++ ) {
		if ( a == vertical ) {
			continue;
		}
		const f32 qa = EFAxis( q, a );
		const f32 e = std::fabs( qa ) - EFAxis( moHalfExtents, a );
		if ( e > 0.0f ) {
			EFSetAxis( away, a, std::copysign( e, qa ) );
			counted++;
		}
		if ( e > largest ) {
			largest = e;
			remembered = a;
		}
	}
	if ( counted == 2 ) {
		escape = EFTransformVector( NormalizeOrUp( away ), world );
		return;
	}
	const DTVector3d axis = EFMatrixRow( world, remembered );
	escape = EFAxis( q, remembered ) <= 0.0f ? -axis : axis;
}

u32 EFObjCollisionBBox::CheckBBoxCollision( const EFCheckCollisionIn & in, EFCheckCollisionOut & out,
											EFObjCollisionPrim * other ) {
	EFObjCollisionBBox * const box = static_cast<EFObjCollisionBBox *>( other );
	if ( !box->HasMatrices() ) {
		return 0;
	}
	constexpr u32 stop = CS_COL_TOOLATE | CS_COL_NOAPPROACH | CS_COL_PAST;
	const DTVector3d & v = in.moVelocity;
	EFCheckBBBBCollision state = { v, DTVector3d(), in.mfMaxTime, NO_ENTRY, NO_PUSH, STATE_OVERLAP };
	box->PrecalcPrimData();
	if ( ( CheckBBPtBBCollision( state, box ) & stop ) != 0 ) {
		return 0;
	}
	state.moVelocity = -v;
	const u32 back = box->CheckBBPtBBCollision( state, this );
	if ( ( back & stop ) != 0 ) {
		return 0;
	}
	if ( back == STATE_ENTERING || back == STATE_OVERLAP ) {
		state.moNormal = -state.moNormal;
	}

	// The axes across one axis of each box.
	const DTVector3d d = moPrimPos - box->moPrimPos;
	for ( u32 i = 0; i < 3; i++ ) {
		const DTVector3d a = EFMatrixRow( mpoBoxToWorld, i );
		for ( u32 j = 0; j < 3; j++ ) {
			DTVector3d l = EFCross( a, EFMatrixRow( box->mpoBoxToWorld, j ) );
			if ( l * l <= MIN_CROSS_AXIS ) {
				continue;
			}
			l.Normalize();
			f32 dl = d * l;
			if ( dl < 0.0f ) {
				l = -l;
				dl = -dl;
			}
			const f32 reach = AbsSum( EFTransformVector( l, mpoScaledTranspose ) ) +
							  AbsSum( EFTransformVector( l, box->mpoScaledTranspose ) );
			const f32 s = dl - reach;
			const f32 u = v * l;
			if ( s < 0.0f ) {
				if ( state.mui32State == STATE_OVERLAP && -s < state.mfPushSize ) {
					state.mfPushSize = -s;
					state.moNormal = l;
				}
			} else {
				if ( std::fabs( u ) < MIN_SEPARATE_SPEED || u > 0.0f ) {
					return 0;
				}
				state.mui32State = STATE_SEPARATED;
				const f32 t = s / -u;
				if ( t > state.mfEntryTime ) {
					if ( t > state.mfExitTime ) {
						return 0;
					}
					state.mfEntryTime = t;
					state.moNormal = l;
				}
			}
			if ( std::fabs( u ) > MIN_EXIT_SPEED ) {
				const f32 t = u < 0.0f ? ( dl + reach ) / -u : ( reach - dl ) / u;
				if ( t < state.mfExitTime ) {
					if ( t < 0.0f ) {
						return 0;
					}
					state.mfExitTime = t;
					if ( state.mfEntryTime > t ) {
						return 0;
					}
				}
			}
		}
	}
	out.mfTime = state.mfEntryTime;
	out.moColNormal = state.moNormal;
	out.mfPushSize = state.mfPushSize;
	if ( state.mui32State == STATE_OVERLAP ) {
		return CS_COL_PUSH;
	}
	out.moEffectivePartDep = v * out.mfTime;
	return CS_COL_HIT;
}

u32 EFObjCollisionBBox::CheckBBPtBBCollision( EFCheckBBBBCollision & state, EFObjCollisionBBox * other ) {
	const DTVector3d p = EFTransformPoint( moPrimPos, other->mpoWorldToBox );
	const DTVector3d v = EFTransformVector( state.moVelocity, other->mpoWorldToBox );
	// Row i of the product is the other's axis i through this box's scaled
	// transpose: its magnitudes sum to this box's half size along it.
	RwMatrix local;
	RwMatrix * const product = WorkMatrix( local );
	RwMatrixMultiply( product, other->mpoBoxToWorld, mpoScaledTranspose );
	u32 result = 0;
	for ( u32 i = 0; i < 3; i++ ) {
		const f32 pi = EFAxis( p, i );
		const f32 vi = EFAxis( v, i );
		const f32 ri = AbsSum( EFMatrixRow( product, i ) );
		const f32 hi = EFAxis( other->moHalfExtents, i );
		const f32 e = std::fabs( pi ) - ri - hi;
		const DTVector3d axis = EFMatrixRow( other->mpoBoxToWorld, i );
		if ( e >= 0.0f ) {
			state.mui32State &= ~STATE_OVERLAP;
			result &= ~STATE_OVERLAP;
			if ( std::fabs( vi ) < MIN_SEPARATE_SPEED ) {
				return CS_COL_NOAPPROACH;
			}
			if ( std::signbit( vi ) == std::signbit( pi ) ) {
				return CS_COL_PAST;
			}
			const f32 t = e / std::fabs( vi );
			if ( t > state.mfEntryTime ) {
				if ( t > state.mfExitTime ) {
					return CS_COL_NOAPPROACH;
				}
				state.mfEntryTime = t;
				state.mui32State = STATE_ENTERING;
				result = STATE_ENTERING;
				state.moNormal = pi <= 0.0f ? -axis : axis;
			}
		} else if ( ( state.mui32State & STATE_OVERLAP ) != 0 && -e < state.mfPushSize ) {
			state.mfPushSize = -e;
			result = STATE_OVERLAP;
			state.moNormal = pi <= 0.0f ? -axis : axis;
		}
		if ( std::fabs( vi ) > MIN_EXIT_SPEED ) {
			const f32 t = vi < 0.0f ? ( hi + pi + ri ) / -vi : ( hi - pi + ri ) / vi;
			if ( t < state.mfExitTime ) {
				if ( t < 0.0f ) {
					return CS_COL_PAST;
				}
				state.mfExitTime = t;
				if ( state.mfExitTime < state.mfEntryTime ) {
					return CS_COL_NOAPPROACH;
				}
			}
		}
	}
	return result;
}
