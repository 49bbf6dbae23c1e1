#include "datatypes/maths/DTQuaternion.h"

#include <cmath>

namespace {

// Square root in double, rounded to float.
f32 RootOf( const f32 v ) {
	return static_cast<f32>( std::sqrt( static_cast<f64>( v ) ) );
}

f32 SineOf( const f64 angle ) {
	return static_cast<f32>( std::sin( angle ) );
}

f32 CosineOf( const f64 angle ) {
	return static_cast<f32>( std::cos( angle ) );
}

// Largest dot product of two directions still taken as the same one, and
// the length below which a half-turn axis candidate is unusable.
constexpr f32 SAME_DIRECTION		= 0.99999f;
constexpr f32 AXIS_CANDIDATE_MIN	= 1e-6f;

// Least squared vector part that still carries an axis.
constexpr f64 AXIS_SQUARE_MIN		= 1e-6;

// Cosine distance below which the spherical weights become linear.
constexpr f64 SLERP_LINEAR_DOUBLE	= 1e-6;
constexpr f32 SLERP_LINEAR_FLOAT	= 1e-6f;

// Parameter correction of QLerp: attenuation and slope.
constexpr f32 QLERP_ATTENUATION		= 0.8227969f;
constexpr f32 QLERP_SLOPE			= 0.5854922f;
// Its approximate normalisation: r = BASE - SLOPE * (s - CENTRE), refined
// below the two thresholds.
constexpr f32 QLERP_NORM_BASE		= 1.0214351f;
constexpr f32 QLERP_NORM_SLOPE		= 0.5325156f;
constexpr f32 QLERP_NORM_CENTRE		= 0.9590660f;
constexpr f32 QLERP_REFINE_ONCE		= 0.9152120f;
constexpr f32 QLERP_REFINE_TWICE	= 0.6521197f;

} // namespace

DTQuaternion & DTQuaternion::operator=( const DTQuaternion & other ) {
	if ( this == &other ) {
		return *this;
	}
	x = other.x;
	y = other.y;
	z = other.z;
	mfScalaire = other.mfScalaire;
	return *this;
}

DTQuaternion DTQuaternion::operator*( const DTQuaternion & b ) const {
	const DTQuaternion & a = *this;
	DTQuaternion r( a.mfScalaire * b.x + a.x * b.mfScalaire + a.y * b.z - a.z * b.y,
					a.mfScalaire * b.y + a.y * b.mfScalaire + a.z * b.x - a.x * b.z,
					a.mfScalaire * b.z + a.z * b.mfScalaire + a.x * b.y - a.y * b.x,
					a.mfScalaire * b.mfScalaire - a.x * b.x - a.y * b.y - a.z * b.z );
	r.Normalise();
	return r;
}

void DTQuaternion::QuatToMat( DTMatrix * m ) const {
	const f32 w = mfScalaire;
	RwMatrix & mat = m->oMat;
	mat.right = { 1.0f - 2.0f * y * y - 2.0f * z * z, 2.0f * x * y + 2.0f * w * z, 2.0f * x * z - 2.0f * w * y };
	mat.up = { 2.0f * x * y - 2.0f * w * z, 1.0f - 2.0f * x * x - 2.0f * z * z, 2.0f * y * z + 2.0f * w * x };
	mat.at = { 2.0f * x * z + 2.0f * w * y, 2.0f * y * z - 2.0f * w * x, 1.0f - 2.0f * x * x - 2.0f * y * y };
}

void DTQuaternion::MatToQuat( const DTMatrix * m ) {
	const RwMatrix & mat = m->oMat;
	const f32 m00 = mat.right.x;
	const f32 m11 = mat.up.y;
	const f32 m22 = mat.at.z;
	const f32 trace = m00 + m11 + m22;
	if ( trace > 0.0f ) {
		const f32 s = RootOf( trace + 1.0f );
		const f32 r = 0.5f / s;
		mfScalaire = 0.5f * s;
		x = ( mat.up.z - mat.at.y ) * r;
		y = ( mat.at.x - mat.right.z ) * r;
		z = ( mat.right.y - mat.up.x ) * r;
		return;
	}
	// Strict comparisons: equal diagonal entries fall through to the later
	// axes, and three equal entries give z. The only tie that reaches z
	// with at.z below the largest entry is right.x == up.y > at.z; near a
	// half turn about (1, +-1, 0) the z radicand 1 + 2 at.z - trace is then
	// a rounding error, so x, a largest entry, is taken instead. Every axis
	// taken thus holds a largest diagonal entry, whose radicand is at
	// least 1 - trace / 3, so 1 or more.
	const f32 radicands[3] = { m00 - m11 - m22 + 1.0f, m11 - m22 - m00 + 1.0f, m22 - m00 - m11 + 1.0f };
	s32 axis = 2;
	if ( m11 > m00 && m11 > m22 ) {
		axis = 1;
	} else if ( m00 > m11 && m00 > m22 ) {
		axis = 0;
	} else if ( m00 == m11 && m00 > m22 ) {
		axis = 0;
	}
	const f32 s = 0.5f * RootOf( radicands[axis] );
	const f32 r = 1.0f / ( 4.0f * s );
	if ( axis == 1 ) {
		y = s;
		mfScalaire = ( mat.at.x - mat.right.z ) * r;
		x = ( mat.right.y + mat.up.x ) * r;
		z = ( mat.at.y + mat.up.z ) * r;
	} else if ( axis == 0 ) {
		x = s;
		mfScalaire = ( mat.up.z - mat.at.y ) * r;
		y = ( mat.right.y + mat.up.x ) * r;
		z = ( mat.right.z + mat.at.x ) * r;
	} else {
		z = s;
		mfScalaire = ( mat.right.y - mat.up.x ) * r;
		x = ( mat.right.z + mat.at.x ) * r;
		y = ( mat.up.z + mat.at.y ) * r;
	}
}

void DTQuaternion::Normalise() {
	const f32 n = x * x + y * y + z * z + mfScalaire * mfScalaire;
	if ( n <= 0.0f ) {
		return;
	}
	const f32 inverse = static_cast<f32>( 1.0 / static_cast<f64>( RootOf( n ) ) );
	x *= inverse;
	y *= inverse;
	z *= inverse;
	mfScalaire *= inverse;
}

void DTQuaternion::SetValue( const DTVector3d & axis, const f32 angle, const bool unitAxis ) {
	const f32 half = angle * 0.5f;
	const f32 s = SineOf( half );
	const f32 c = CosineOf( half );
	x = axis.x * s;
	y = axis.y * s;
	z = axis.z * s;
	if ( !unitAxis ) {
		const f32 squares = static_cast<f32>( std::pow( static_cast<f64>( axis.x ), 2.0 ) ) +
							static_cast<f32>( std::pow( static_cast<f64>( axis.y ), 2.0 ) ) +
							static_cast<f32>( std::pow( static_cast<f64>( axis.z ), 2.0 ) );
		const f32 length = RootOf( squares );
		x /= length;
		y /= length;
		z /= length;
	}
	mfScalaire = c;
}

void DTQuaternion::GetValue( DTVector3d & axis, f32 & angle ) const {
	const f32 n = x * x + y * y + z * z;
	if ( static_cast<f64>( n ) > AXIS_SQUARE_MIN ) {
		const f32 length = RootOf( n );
		axis.Set( x / length, y / length, z / length );
		angle = static_cast<f32>( 2.0 * std::acos( static_cast<f64>( mfScalaire ) ) );
	} else {
		axis.Set( 0.0f, 0.0f, 1.0f );
		angle = 0.0f;
	}
	if ( angle > DT_VECTOR3D_PI ) {
		angle = DT_VECTOR3D_PI;
	}
}

void DTQuaternion::EulerToQuatf( const DTVector3d & euler ) {
	const f64 hx = static_cast<f64>( euler.x ) * 0.5;
	const f64 hy = static_cast<f64>( euler.y ) * 0.5;
	const f64 hz = static_cast<f64>( euler.z ) * 0.5;
	const f32 cx = CosineOf( hx );
	const f32 sx = SineOf( hx );
	const f32 cy = CosineOf( hy );
	const f32 sy = SineOf( hy );
	const f32 cz = CosineOf( hz );
	const f32 sz = SineOf( hz );
	mfScalaire = cx * cy * cz + sx * sy * sz;
	x = sx * cy * cz - cx * sy * sz;
	y = cx * sy * cz + sx * cy * sz;
	z = cx * cy * sz - sx * sy * cz;
}

void DTQuaternion::SetFromAxes( const DTVector3d & a, const DTVector3d & b ) {
	const f32 d = a.DotProduct( b );
	if ( d > SAME_DIRECTION ) {
		Set( 0.0f, 0.0f, 0.0f );
		mfScalaire = 1.0f;
		return;
	}
	if ( d < -SAME_DIRECTION ) {
		// A half turn about any axis perpendicular to a.
		DTVector3d candidate( -a.y, a.x, 0.0f );
		f32 length = RootOf( a.x * a.x + a.y * a.y );
		if ( length < AXIS_CANDIDATE_MIN ) {
			candidate.Set( -a.z, 0.0f, a.x );
			length = RootOf( candidate.LengthSquare() );
		}
		Set( candidate.x / length, candidate.y / length, candidate.z / length );
		mfScalaire = 0.0f;
		return;
	}
	DTVector3d axis;
	a.Cross( b, &axis );
	const f32 length = RootOf( axis.LengthSquare() );
	const f32 s = RootOf( 0.5f * ( 1.0f - d ) );
	Set( axis.x / length * s, axis.y / length * s, axis.z / length * s );
	mfScalaire = RootOf( 0.5f * ( 1.0f + d ) );
}

void DTQuaternion::Lerp( const DTQuaternion & a, const DTQuaternion & b, const f32 t ) {
	DTQuaternion target = b;
	if ( a.Dot4( b ) < 0.0f ) {
		target = DTQuaternion( -b.x, -b.y, -b.z, -b.mfScalaire );
	}
	const DTQuaternion from = a;
	x = from.x + t * ( target.x - from.x );
	y = from.y + t * ( target.y - from.y );
	z = from.z + t * ( target.z - from.z );
	mfScalaire = from.mfScalaire + t * ( target.mfScalaire - from.mfScalaire );
}

void DTQuaternion::QLerp( const DTQuaternion & a, const DTQuaternion & b, const f32 t ) {
	// The signed cosine, not its magnitude: the correction is tuned for it.
	const f32 c = a.Dot4( b );
	const f32 attenuated = 1.0f - QLERP_ATTENUATION * c;
	const f32 k = QLERP_SLOPE * attenuated * attenuated;
	f32 corrected;
	if ( t <= 0.5f ) {
		corrected = t * ( k * t * ( 2.0f * t - 3.0f ) + 1.0f + k );
	} else {
		const f32 u = 1.0f - t;
		corrected = 1.0f - u * ( k * u * ( 2.0f * u - 3.0f ) + 1.0f + k );
	}
	Lerp( a, b, corrected );
	const f32 s = Dot4( *this );
	f32 r = QLERP_NORM_BASE - QLERP_NORM_SLOPE * ( s - QLERP_NORM_CENTRE );
	if ( s <= QLERP_REFINE_ONCE ) {
		r = r * ( QLERP_NORM_BASE - QLERP_NORM_SLOPE * ( s * r * r - QLERP_NORM_CENTRE ) );
		if ( s <= QLERP_REFINE_TWICE ) {
			r = r * ( QLERP_NORM_BASE - QLERP_NORM_SLOPE * ( s * r * r - QLERP_NORM_CENTRE ) );
		}
	}
	x *= r;
	y *= r;
	z *= r;
	mfScalaire *= r;
}

void DTQuaternion::Slerp( const DTQuaternion & a, const DTQuaternion & b, const f32 t ) {
	f64 c = static_cast<f64>( a.x ) * b.x + static_cast<f64>( a.y ) * b.y + static_cast<f64>( a.z ) * b.z +
			static_cast<f64>( a.mfScalaire ) * b.mfScalaire;
	f64 sign = 1.0;
	if ( c < 0.0 ) {
		c = -c;
		sign = -1.0;
	}
	const f64 td = static_cast<f64>( t );
	f64 s0 = 1.0 - td;
	f64 s1 = td;
	if ( 1.0 - c > SLERP_LINEAR_DOUBLE ) {
		const f64 omega = std::acos( c );
		const f64 sine = std::sin( omega );
		s0 = std::sin( ( 1.0 - td ) * omega ) / sine;
		s1 = std::sin( td * omega ) / sine;
	}
	s1 *= sign;
	const DTQuaternion from = a;
	const DTQuaternion to = b;
	x = static_cast<f32>( s0 * from.x + s1 * to.x );
	y = static_cast<f32>( s0 * from.y + s1 * to.y );
	z = static_cast<f32>( s0 * from.z + s1 * to.z );
	mfScalaire = static_cast<f32>( s0 * from.mfScalaire + s1 * to.mfScalaire );
}

void DTQuaternion::Slerpf( const DTQuaternion & a, const DTQuaternion & b, const f32 t ) {
	f32 c = a.Dot4( b );
	f32 sign = 1.0f;
	if ( c < 0.0f ) {
		c = -c;
		sign = -1.0f;
	}
	f32 s0 = 1.0f - t;
	f32 s1 = t;
	if ( 1.0f - c > SLERP_LINEAR_FLOAT ) {
		const f32 omega = std::acos( c );
		const f32 sine = std::sin( omega );
		s0 = std::sin( ( 1.0f - t ) * omega ) / sine;
		s1 = std::sin( t * omega ) / sine;
	}
	s1 *= sign;
	const DTQuaternion from = a;
	const DTQuaternion to = b;
	x = s0 * from.x + s1 * to.x;
	y = s0 * from.y + s1 * to.y;
	z = s0 * from.z + s1 * to.z;
	mfScalaire = s0 * from.mfScalaire + s1 * to.mfScalaire;
}
