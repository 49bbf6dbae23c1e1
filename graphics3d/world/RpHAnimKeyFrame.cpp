#include "graphics3d/world/RpHAnim.h"

#include "graphics3d/core/RwError.h"
#include "graphics3d/core/RwMatrix.h"
#include "graphics3d/core/RwStream.h"
#include "graphics3d/core/RwStreamData.h"
#include "graphics3d/world/RtAnim.h"

#include <cmath>

// Reals of a key frame in streams: time, q and t.
static const u32 STREAM_REALS = 8;
static const u32 KEYFRAME_MATRIX_FLAGS = 3;

namespace {

RpHAnimKeyFrame* Frame( void* frame ) {
	return static_cast<RpHAnimKeyFrame*>( frame );
}

// Sine by its odd Taylor polynomial up to the 13th power.
f32 TaylorSine( const f32 x ) {
	const f32 x2 = x * x;
	f32 term = x;
	f32 sum = x;
	for ( s32 n = 3; n <= 13; n += 2 ) {
		term = -term * x2 / static_cast<f32>( ( n - 1 ) * n );
		sum += term;
	}
	return sum;
}

f32 Dot( const RtQuat& a, const RtQuat& b ) {
	return a.imag.x * b.imag.x + a.imag.y * b.imag.y + a.imag.z * b.imag.z + a.real * b.real;
}

// Blends a.q and b.q by f into out; b.q is negated in place when the two
// point away from each other.
void BlendRotations( RtQuat* out, const RtQuat& a, RtQuat* b, const f32 f ) {
	f32 c = Dot( a, *b );
	if ( c < 0.0f ) {
		c = -c;
		b->imag = { -b->imag.x, -b->imag.y, -b->imag.z };
		b->real = -b->real;
	}
	f32 wa = 1.0f - f;
	f32 wb = f;
	if ( c < RPHANIM_LINEAR_COSINE ) {
		const f32 theta = std::acos( c );
		const f32 recipSine = 1.0f / TaylorSine( theta );
		wa = TaylorSine( ( 1.0f - f ) * theta ) * recipSine;
		wb = TaylorSine( f * theta ) * recipSine;
	}
	*out = { { wa * a.imag.x + wb * b->imag.x, wa * a.imag.y + wb * b->imag.y, wa * a.imag.z + wb * b->imag.z },
			 wa * a.real + wb * b->real };
}

void Interpolate( RpHAnimKeyFrame* out, RpHAnimKeyFrame* a, RpHAnimKeyFrame* b, const f32 f ) {
	const RwV3d t = { a->t.x + f * ( b->t.x - a->t.x ), a->t.y + f * ( b->t.y - a->t.y ), a->t.z + f * ( b->t.z - a->t.z ) };
	const RtQuat first = a->q;
	RtQuat q;
	BlendRotations( &q, first, &b->q, f );
	out->q = q;
	out->t = t;
}

RtQuat Product( const RtQuat& a, const RtQuat& b ) {
	const RwV3d& u = a.imag;
	const RwV3d& v = b.imag;
	return { { a.real * v.x + b.real * u.x + ( u.y * v.z - u.z * v.y ), a.real * v.y + b.real * u.y + ( u.z * v.x - u.x * v.z ),
			   a.real * v.z + b.real * u.z + ( u.x * v.y - u.y * v.x ) },
			 a.real * b.real - ( u.x * v.x + u.y * v.y + u.z * v.z ) };
}

}	// namespace

void RpHAnimKeyFrameApply( void* matrix, void* voidIFrame ) {
	RwMatrix* const m = static_cast<RwMatrix*>( matrix );
	const RpHAnimKeyFrame* const frame = Frame( voidIFrame );
	const f32 x = frame->q.imag.x;
	const f32 y = frame->q.imag.y;
	const f32 z = frame->q.imag.z;
	const f32 w = frame->q.real;
	m->right = { 1.0f - 2.0f * ( y * y + z * z ), 2.0f * ( x * y + w * z ), 2.0f * ( x * z - w * y ) };
	m->up = { 2.0f * ( x * y - w * z ), 1.0f - 2.0f * ( x * x + z * z ), 2.0f * ( y * z + w * x ) };
	m->at = { 2.0f * ( x * z + w * y ), 2.0f * ( y * z - w * x ), 1.0f - 2.0f * ( x * x + y * y ) };
	m->pos = frame->t;
	m->flags = KEYFRAME_MATRIX_FLAGS;
}

void RpHAnimKeyFrameInterpolate( void* voidOut, void* voidIn1, void* voidIn2, const f32 time ) {
	RpHAnimKeyFrame* const a = Frame( voidIn1 );
	RpHAnimKeyFrame* const b = Frame( voidIn2 );
	// Equal key times stand still at the first key frame.
	const f32 span = b->time - a->time;
	const f32 f = span != 0.0f ? ( time - a->time ) / span : 0.0f;
	Interpolate( Frame( voidOut ), a, b, f );
}

void RpHAnimKeyFrameBlend( void* voidOut, void* voidIn1, void* voidIn2, const f32 alpha ) {
	Interpolate( Frame( voidOut ), Frame( voidIn1 ), Frame( voidIn2 ), alpha );
}

void RpHAnimKeyFrameAdd( void* voidOut, void* voidIn1, void* voidIn2 ) {
	const RpHAnimKeyFrame* const a = Frame( voidIn1 );
	const RpHAnimKeyFrame* const b = Frame( voidIn2 );
	const RtQuat q = Product( a->q, b->q );
	const RwV3d t = { a->t.x + b->t.x, a->t.y + b->t.y, a->t.z + b->t.z };
	Frame( voidOut )->q = q;
	Frame( voidOut )->t = t;
}

void RpHAnimKeyFrameMulRecip( void* voidFrame, void* voidStart ) {
	RpHAnimKeyFrame* const frame = Frame( voidFrame );
	const RpHAnimKeyFrame* const start = Frame( voidStart );
	const f32 n = Dot( start->q, start->q );
	// A zero-length start rotation has no inverse: the rotation stays.
	if ( n > 0.0f ) {
		const RtQuat inverse = { { -start->q.imag.x / n, -start->q.imag.y / n, -start->q.imag.z / n }, start->q.real / n };
		frame->q = Product( inverse, frame->q );
	}
	frame->t = { frame->t.x - start->t.x, frame->t.y - start->t.y, frame->t.z - start->t.z };
}

RtAnimAnimation* RpHAnimKeyFrameStreamRead( RwStream* stream, RtAnimAnimation* animation ) {
	RpHAnimKeyFrame* const frames = static_cast<RpHAnimKeyFrame*>( animation->pFrames );
	for ( s32 i = 0; i < animation->numFrames; i++ ) {
		f32 reals[STREAM_REALS];
		s32 offset = 0;
		if ( RwStreamReadReal( stream, reals, sizeof( reals ) ) == nullptr ||
			 RwStreamReadInt32( stream, &offset, sizeof( offset ) ) == nullptr ) {
			return nullptr;
		}
		// The previous key frame must be one of the array's.
		const s32 previous = offset / static_cast<s32>( rpHANIMSTREAMKEYFRAMEBYTES );
		if ( offset < 0 || previous >= animation->numFrames ) {
			_rwErrorSetCore( _rwerror( RWERR_READ ) );
			return nullptr;
		}
		RpHAnimKeyFrame& frame = frames[i];
		frame.prevFrame = &frames[previous];
		frame.time = reals[0];
		frame.q = { { reals[1], reals[2], reals[3] }, reals[4] };
		frame.t = { reals[5], reals[6], reals[7] };
	}
	return animation;
}

bool RpHAnimKeyFrameStreamWrite( const RtAnimAnimation* animation, RwStream* stream ) {
	const RpHAnimKeyFrame* const frames = static_cast<const RpHAnimKeyFrame*>( animation->pFrames );
	for ( s32 i = 0; i < animation->numFrames; i++ ) {
		const RpHAnimKeyFrame& frame = frames[i];
		const f32 reals[STREAM_REALS] = { frame.time,	   frame.q.imag.x, frame.q.imag.y, frame.q.imag.z,
										  frame.q.real, frame.t.x,	   frame.t.y,	   frame.t.z };
		const s32 offset =
			frame.prevFrame != nullptr ? static_cast<s32>( frame.prevFrame - frames ) * static_cast<s32>( rpHANIMSTREAMKEYFRAMEBYTES ) : 0;
		if ( RwStreamWriteReal( stream, reals, sizeof( reals ) ) == nullptr ||
			 RwStreamWriteInt32( stream, &offset, sizeof( offset ) ) == nullptr ) {
			return false;
		}
	}
	return true;
}

s32 RpHAnimKeyFrameStreamGetSize( const RtAnimAnimation* animation ) {
	return static_cast<s32>( rpHANIMSTREAMKEYFRAMEBYTES ) * animation->numFrames;
}
