#include "framework/physics/EFCollisionStage.h"

#include "framework/core/world/EFGameObject.h"
#include "framework/physics/EFCollisionData.h"
#include "framework/physics/EFCollisionReport.h"
#include "framework/physics/EFContactReport.h"
#include "framework/physics/EFDynamicPhysic.h"
#include "framework/physics/EFEnvCollisionPrim.h"
#include "framework/physics/EFPhysic.h"
#include "framework/physics/EFPhysicMgr.h"
#include "framework/physics/EFPushRecord.h"
#include "platform/os/OS.h"

#include <cmath>

namespace {

// A lone push at or below this moves nothing.
constexpr f32 MIN_SINGLE_PUSH		= 0.0001f;
// Pushes whose squared size fell below this are used up.
constexpr f32 USED_UP_PUSH			= 1e-6f;
constexpr u32 PUSH_PASSES			= 3;
// Contact speeds below these do not press into a plane.
constexpr f32 MIN_PRESS				= 0.0001f;
constexpr f32 MIN_THIRD_PRESS		= 1e-5f;
// Planes this close to parallel make no crease.
constexpr f32 MIN_CREASE			= 1e-5f;
// Velocities and changes below this (squared) are zero.
constexpr f32 NEGLIGIBLE_SQUARED	= 1e-6f;
// ValidateTranslation: no hit yet; the clearance kept in front of a
// plane; how far outside an edge still counts as inside.
constexpr f32 NO_HIT				= 2.0f;
constexpr f32 PLANE_CLEARANCE		= 0.01f;
constexpr f32 EDGE_TOLERANCE		= 0.01f;
// Bit 0 of a polygon's surface flags: two-sided.
constexpr u32 TWO_SIDED				= 0x1;
// Records whose normals lie within about 8 degrees hold a member alike.
constexpr f32 SAME_CONSTRAINT		= 0.99f;

// The body's velocity along normal, when the contact has a body moving
// away from the plane's side (negative); else 0 and false.
bool RetreatingSpeed( const EFContactReport & contact, f32 & speed ) {
	if ( contact.poPhys == nullptr ) {
		return false;
	}
	speed = contact.poPhys->moVelocity * contact.oContactNormal;
	return speed < 0.0f;
}

// The body of an instance in the tree: a game object's own body.
EFPhysic * BodyOf( EFPosData * instance ) {
	EFGameObject * const object = instance->mpGameObjectOwner;
	if ( object == nullptr || static_cast<EFPosData *>( object ) != instance ) {
		return nullptr;
	}
	return object->mpoPhysic;
}

}

void EFCollisionStage::InitColPrims() {
	mui32NbPrims = 0;
	InitColPrims( mpoRecord->poPhysic );
}

void EFCollisionStage::InitColPrims( EFPhysic * body ) {
	const EFCollisionModel & model = body->moCollisionModel;
	for ( u32 i = 0; i < model.mui32MaxPrims; i++ ) {
		if ( mui32NbPrims >= EF_STAGE_MAX_PRIMS ) {
			OSReport( "EFCollisionStage: %u primitives kept, the rest are left out\n", EF_STAGE_MAX_PRIMS );
			return;
		}
		mapoPrims[mui32NbPrims] = model.mppoPrimArray[i];
		mapoPrimOwners[mui32NbPrims] = body;
		mui32NbPrims++;
	}
	EFPhysicData * const owner = body->GetOwner();
	if ( owner == nullptr ) {
		return;
	}
	for ( EFPosData * child = owner->mpChild; child != nullptr; child = child->mpNext ) {
		if ( ( child->muiPosFlags & EF_POS_ATTACH_FLAG ) == 0 ) {
			continue;
		}
		EFPhysic * const childBody = BodyOf( child );
		if ( childBody == nullptr ) {
			continue;
		}
		if ( mui32NbPrims >= EF_STAGE_MAX_PRIMS ) {
			OSReport( "EFCollisionStage: %u primitives kept, the rest are left out\n", EF_STAGE_MAX_PRIMS );
			return;
		}
		InitColPrims( childBody );
	}
}

void EFCollisionStage::CheckPush() {
	EFPhysicMgr & manager = EFPhysicMgr::moPhysicMgr;
	EFCollisionModel & model = mpoRecord->poPhysic->moCollisionModel;
	if ( mpoPushList == nullptr ) {
		mui32NbPush = 0;
		return;
	}
	if ( mpoPushList->mpoNext == nullptr ) {
		if ( mpoPushList->mfPushSize > MIN_SINGLE_PUSH ) {
			const DTVector3d push = mpoPushList->moNormal * mpoPushList->mfPushSize;
			model.Translate( push );
			moTranslation += push;
		}
	} else {
		// Each record now holds its push vector and its squared size.
		for ( EFPushRecord * push = mpoPushList; push != nullptr; push = push->mpoNext ) {
			push->moNormal = push->moNormal * push->mfPushSize;
			push->mfPushSize = push->moNormal * push->moNormal;
		}
		DTVector3d total;
		for ( u32 pass = 0; pass < PUSH_PASSES; pass++ ) {
			bool found = false;
			s32 priority = 0;
			for ( const EFPushRecord * push = mpoPushList; push != nullptr; push = push->mpoNext ) {
				const s32 own = static_cast<s32>( push->mui32Priority );
				if ( push->mfPushSize >= USED_UP_PUSH && ( !found || own > priority ) ) {
					priority = own;
					found = true;
				}
			}
			if ( !found ) {
				break;
			}
			DTVector3d d;
			for ( const EFPushRecord * push = mpoPushList; push != nullptr; push = push->mpoNext ) {
				if ( push->mfPushSize >= USED_UP_PUSH && static_cast<s32>( push->mui32Priority ) == priority ) {
					d += push->moNormal * push->mfWeight;
				}
			}
			f32 largest = -10000.0f;
			f32 smallest = 10000.0f;
			f32 heaviest = 0.0f;
			f32 weighted = 0.0f;
			for ( const EFPushRecord * push = mpoPushList; push != nullptr; push = push->mpoNext ) {
				if ( push->mfPushSize < USED_UP_PUSH || static_cast<s32>( push->mui32Priority ) != priority ) {
					continue;
				}
				const f32 s = d * push->moNormal;
				largest = s > largest ? s : largest;
				smallest = s < smallest ? s : smallest;
				heaviest = push->mfWeight > heaviest ? push->mfWeight : heaviest;
				weighted += s * push->mfWeight;
			}
			f32 mean = weighted / heaviest;
			if ( largest > 0.0f && mean > largest ) {
				mean = largest;
			}
			if ( smallest < 0.0f && mean < smallest ) {
				mean = smallest;
			}
			const f32 dd = d * d;
			// Cancelling pushes, a zero mean or weightless pushers leave
			// nothing to take out: this pass changes nothing (a division by
			// zero would put NaN into the position).
			if ( !( dd > 0.0f ) || !std::isfinite( mean ) ) {
				continue;
			}
			DTVector3d used = d * ( mean / dd );
			f32 q = dd;
			const f32 tt = total * total;
			if ( dd > tt ) {
				const f32 length = std::sqrt( dd );
				used = used * ( ( length - std::sqrt( tt ) ) / length );
				total += used;
				q = used * used;
			}
			if ( !( q > 0.0f ) ) {
				continue;
			}
			for ( EFPushRecord * push = mpoPushList; push != nullptr; push = push->mpoNext ) {
				push->moNormal -= used * ( ( push->moNormal * used ) / q );
				push->mfPushSize = push->moNormal * push->moNormal;
			}
		}
		model.Translate( total );
		moTranslation += total;
	}
	while ( EFPushRecord * const push = mpoPushList ) {
		mpoPushList = push->mpoNext;
		manager.GiveBackPush( push );
	}
	mui32NbPush = 0;
}

void EFCollisionStage::CheckMultipleCollisions( const f32 dt ) {
	EFPhysic & body = *mpoRecord->poPhysic;
	const DTVector3d old = body.moVelocity;
	DTVector3d v = old;
	SolveMultipleCollisions( v );
	const DTVector3d change = v - old;
	const f32 squared = change * change;
	if ( squared > NEGLIGIBLE_SQUARED ) {
		body.moVelocity = v;
		body.mfFallingTimer = body.mfFallingDelay;
		EFCollisionData data = { 0.0f, change * ( 1.0f / std::sqrt( squared ) ), 0, nullptr, nullptr, nullptr,
								 mpoContactList };
		body.CollisionUpdate( this, data, dt );
	}
	body.moVelocity = v;
	body.mfFallingTimer = body.mfFallingDelay;
}

void EFCollisionStage::SolveMultipleCollisions( DTVector3d & velocity ) {
	if ( mpoContactList == nullptr || mpoContactList->mpoNext == nullptr ) {
		return;
	}
	DTVector3d v = velocity;
	for ( const EFContactReport * ci = mpoContactList; ci != nullptr; ci = ci->mpoNext ) {
		const DTVector3d & ni = ci->oContactNormal;
		const f32 a = v * ni;
		if ( a > 0.0f || std::fabs( a ) < MIN_PRESS ) {
			continue;
		}
		// The share a retreating body carries away anyway is set aside.
		DTVector3d p;
		f32 b = 0.0f;
		if ( RetreatingSpeed( *ci, b ) ) {
			if ( b <= a ) {
				continue;
			}
			p = v * ( b / a );
		}
		DTVector3d w = v - p;
		w -= ni * ( w * ni );
		const DTVector3d u = w;
		for ( const EFContactReport * cj = mpoContactList; cj != nullptr; cj = cj->mpoNext ) {
			if ( cj == ci ) {
				continue;
			}
			const DTVector3d & nj = cj->oContactNormal;
			const f32 aj = w * nj;
			if ( aj > 0.0f || std::fabs( aj ) < MIN_PRESS ) {
				continue;
			}
			DTVector3d q;
			DTVector3d uj = u;
			f32 bj = 0.0f;
			if ( RetreatingSpeed( *cj, bj ) ) {
				if ( bj <= aj ) {
					continue;
				}
				q = w * ( bj / aj );
				uj = u * ( ( aj - bj ) / aj );
			}
			DTVector3d x = w - q;
			x -= nj * ( x * nj );
			if ( ni * nj < 0.0f ) {
				// A wedge: only the motion along its crease is left.
				DTVector3d c;
				ni.Cross( nj, &c );
				const f32 cc = c * c;
				if ( cc > MIN_CREASE ) {
					const DTVector3d y = c * ( ( uj * c ) / cc );
					x = y;
					DTVector3d correction = y - uj;
					const f32 length = std::sqrt( correction * correction );
					correction = length > 0.0f ? correction * ( 1.0f / length ) : DTVector3d();
					for ( const EFContactReport * ck = mpoContactList; ck != nullptr; ck = ck->mpoNext ) {
						if ( ck == ci || ck == cj ) {
							continue;
						}
						const DTVector3d & nk = ck->oContactNormal;
						const f32 ak = y * nk;
						if ( ak > 0.0f || std::fabs( ak ) < MIN_THIRD_PRESS ) {
							continue;
						}
						DTVector3d r;
						DTVector3d xk = x;
						DTVector3d yk = y;
						f32 bk = 0.0f;
						if ( RetreatingSpeed( *ck, bk ) ) {
							if ( bk <= ak ) {
								continue;
							}
							r = x * ( bk / ak );
							xk = x - r;
							yk = y * ( ( ak - bk ) / ak );
						}
						// The crease runs into the third plane: it stops.
						if ( yk * nk < 0.0f && correction * nk < 0.0f ) {
							xk = DTVector3d();
						}
						x = xk + r;
						if ( x * x < NEGLIGIBLE_SQUARED ) {
							x = DTVector3d();
							break;
						}
					}
				} else {
					x = DTVector3d();
				}
			}
			w = x + q;
			if ( w * w < NEGLIGIBLE_SQUARED ) {
				w = DTVector3d();
				break;
			}
		}
		v = w + p;
		if ( v * v < NEGLIGIBLE_SQUARED ) {
			v = DTVector3d();
			break;
		}
	}
	velocity = v;
}

u32 EFCollisionStage::ValidateTranslation( const DTVector3d & start, DTVector3d & move, const u32 detect,
										   const u32 udDetect ) {
	f32 best = NO_HIT;
	for ( u32 i = 0; i < mui32NbEnvPrims; i++ ) {
		const EFEnvCollisionPrim & polygon = *mppoEnvPrims[i];
		const EnvPrimAttribs & attribs = *polygon.GetAttribs();
		if ( ( attribs.ui32DetectedBy & detect ) == 0 && ( attribs.ui32UDDetectedBy & udDetect ) == 0 ) {
			continue;
		}
		const DTVector3d & n = polygon.moPlane.moNormal;
		f32 dn = n * move;
		if ( dn == 0.0f ) {
			continue;
		}
		f32 s = n * start + polygon.moPlane.mfD;
		// No crossing when both lie on one side; +0 counts as the front.
		if ( std::signbit( s ) == std::signbit( dn ) ) {
			continue;
		}
		if ( dn > 0.0f && ( attribs.ui32Flags & TWO_SIDED ) == 0 ) {
			continue;
		}
		if ( std::signbit( s ) ) {
			s = -s;
			dn = -dn;
		}
		const f32 clear = s > PLANE_CLEARANCE ? s - PLANE_CLEARANCE : 0.0f;
		const f32 t = clear / -dn;
		if ( t >= best ) {
			continue;
		}
		const DTVector3d point = start + move * t;
		const EFEnvCollisionPrim::Plane * const edges = polygon.GetEdges();
		const u32 count = polygon.mui16NbVertex & 0x7FFF;
		bool inside = true;
		for ( u32 e = 0; e < count && inside; e++ ) {
			inside = edges[e].moNormal * point + edges[e].mfD <= EDGE_TOLERANCE;
		}
		if ( inside ) {
			best = t;
		}
	}
	if ( best < 1.0f ) {
		move = move * best;
		return 1;
	}
	return 0;
}

void EFCollisionStage::InsertNewReport( EFCollisionReport * report ) {
	EFCollisionReport ** link = &mpoNewReports;
	while ( *link != nullptr && ( *link )->mfTime < report->mfTime ) {
		link = &( *link )->mpoNext;
	}
	report->mpoNext = *link;
	*link = report;
	if ( report->mfTime < mfEarliestTime ) {
		mfEarliestTime = report->mfTime;
	}
}

void EFCollisionStage::LoseEnvRecord( const u32 kind, const DTVector3d & normal ) {
	bool held = false;
	if ( kind == EF_STAGE_LOST_REPORT ) {
		for ( const EFCollisionReport * report = mpoNewReports; report != nullptr && !held; report = report->mpoNext ) {
			held = report->mpoEnvPrim != nullptr && report->moNormal * normal >= SAME_CONSTRAINT;
		}
	} else if ( kind == EF_STAGE_LOST_PUSH ) {
		for ( const EFPushRecord * push = mpoPushList; push != nullptr && !held; push = push->mpoNext ) {
			held = push->moNormal * normal >= SAME_CONSTRAINT;
		}
	} else {
		for ( const EFContactReport * contact = mpoContactList; contact != nullptr && !held;
			  contact = contact->mpoNext ) {
			held = contact->poEnvPrim != nullptr && contact->oContactNormal * normal >= SAME_CONSTRAINT;
		}
	}
	if ( !held ) {
		mui32LostRecords |= kind;
	}
}
