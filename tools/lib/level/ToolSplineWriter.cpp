#include "tools/lib/level/ToolSplineWriter.h"

#include "tools/lib/ToolBigEndianWriter.h"
#include "tools/lib/level/ToolGenericDataWriter.h"

#include <cmath>

namespace {

typedef ToolSplinePoint Vec;

Vec Add( const Vec& a, const Vec& b ) { return { a[0] + b[0], a[1] + b[1], a[2] + b[2] }; }
Vec Sub( const Vec& a, const Vec& b ) { return { a[0] - b[0], a[1] - b[1], a[2] - b[2] }; }
Vec Scale( const Vec& a, const f64 s ) { return { a[0] * s, a[1] * s, a[2] * s }; }
f64 Dot( const Vec& a, const Vec& b ) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }
Vec Cross( const Vec& a, const Vec& b ) {
	return { a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0] };
}
f64 Length( const Vec& a ) { return std::sqrt( Dot( a, a ) ); }

// Corners whose triangle is thinner than this, relative to its sides,
// count as collinear.
constexpr f64 COLLINEAR_SINE = 1e-6;

struct Plane {
	Vec		normal = { 0.0, 0.0, 0.0 };
	f64		distance = 0.0;
};

struct Segment {
	Vec		corners[3];
	f64		length = 0.0;
	f64		distance = 0.0;
	Vec		b;
	Vec		c;
	Plane	planes[4];
};

// Speed |P'(t)| of the quadratic with P' = B + 2 C t.
f64 Speed( const Vec& b, const Vec& c, const f64 t ) {
	return Length( Add( b, Scale( c, 2.0 * t ) ) );
}

f64 Simpson( const Vec& b, const Vec& c, const f64 t0, const f64 t1, const f64 f0, const f64 fm, const f64 f1,
			 const f64 whole, const f64 tolerance, const s32 depth ) {
	const f64 tm = 0.5 * ( t0 + t1 );
	const f64 tl = 0.5 * ( t0 + tm );
	const f64 tr = 0.5 * ( tm + t1 );
	const f64 fl = Speed( b, c, tl );
	const f64 fr = Speed( b, c, tr );
	const f64 left = ( tm - t0 ) / 6.0 * ( f0 + 4.0 * fl + fm );
	const f64 right = ( t1 - tm ) / 6.0 * ( fm + 4.0 * fr + f1 );
	if ( depth >= 40 || std::fabs( left + right - whole ) <= 15.0 * tolerance ) {
		return left + right + ( left + right - whole ) / 15.0;
	}
	return Simpson( b, c, t0, tm, f0, fl, fm, left, tolerance / 2.0, depth + 1 ) +
		   Simpson( b, c, tm, t1, fm, fr, f1, right, tolerance / 2.0, depth + 1 );
}

// Outward plane of the side from -> to, perpendicular to the triangle
// of unit normal n, facing away from the opposite corner.
Plane SidePlane( const Vec& from, const Vec& to, const Vec& opposite, const Vec& n ) {
	Vec normal = Cross( Sub( to, from ), n );
	normal = Scale( normal, 1.0 / Length( normal ) );
	Plane plane;
	plane.normal = normal;
	plane.distance = -Dot( normal, from );
	if ( Dot( normal, opposite ) + plane.distance > 0.0 ) {
		plane.normal = Scale( normal, -1.0 );
		plane.distance = -plane.distance;
	}
	return plane;
}

void MakePlanes( Segment& s ) {
	const Vec e1 = Sub( s.corners[1], s.corners[0] );
	const Vec e2 = Sub( s.corners[2], s.corners[0] );
	const Vec e3 = Sub( s.corners[2], s.corners[1] );
	const Vec cross = Cross( e1, e2 );
	const f64 longest = std::fmax( Length( e1 ), std::fmax( Length( e2 ), Length( e3 ) ) );
	// Zero planes cull nothing: a degenerate triangle keeps its segment.
	if ( !( Length( cross ) > COLLINEAR_SINE * longest * longest ) ) {
		return;
	}
	const Vec n = Scale( cross, 1.0 / Length( cross ) );
	s.planes[0].normal = n;
	s.planes[0].distance = -Dot( n, s.corners[0] );
	s.planes[1] = SidePlane( s.corners[2], s.corners[0], s.corners[1], n );
	s.planes[2] = SidePlane( s.corners[1], s.corners[2], s.corners[0], n );
	s.planes[3] = SidePlane( s.corners[0], s.corners[1], s.corners[2], n );
}

// The closed-form arc length at t = 0 without K, so that K is its negative.
f64 ClosedFormAtStart( const f64 a, const f64 b, const f64 c ) {
	if ( !( a > 0.0 ) ) {
		return 0.0;
	}
	const f64 r = std::sqrt( a );
	const f64 s = c > 0.0 ? std::sqrt( c ) : c;
	const f64 w = s + ( b / 2.0 ) / r;
	f64 value = s * b / ( 4.0 * a );
	const f64 coefficient = c / ( 2.0 * r ) - b * b / ( 8.0 * a * r );
	if ( w > 0.0 && coefficient != 0.0 ) {
		value += coefficient * std::log( w );
	}
	return 2.0 * value;
}

void WriteVec( ToolBigEndianWriter& out, const Vec& v ) {
	for ( const f64 component : v ) {
		out.WriteF32( static_cast<f32>( component ) );
	}
}

void WriteSegment( ToolBigEndianWriter& out, const Segment& s ) {
	for ( const Vec& corner : s.corners ) {
		WriteVec( out, corner );
	}
	const f64 a = Dot( s.c, s.c );
	const f64 b = Dot( s.b, s.c );
	const f64 c = Dot( s.b, s.b ) / 4.0;
	out.WriteF32( static_cast<f32>( s.length ) );
	out.WriteF32( static_cast<f32>( s.distance ) );
	out.WriteF32( static_cast<f32>( a ) );
	out.WriteF32( static_cast<f32>( b ) );
	out.WriteF32( static_cast<f32>( c ) );
	out.WriteF32( static_cast<f32>( std::sqrt( a ) ) );
	out.WriteF32( static_cast<f32>( -ClosedFormAtStart( a, b, c ) ) );
	WriteVec( out, s.b );
	WriteVec( out, s.c );
	out.WriteF32( static_cast<f32>( a ) );
	out.WriteF32( static_cast<f32>( 2.0 * b ) );
	out.WriteF32( static_cast<f32>( 4.0 * c ) );
	for ( const Plane& plane : s.planes ) {
		WriteVec( out, plane.normal );
		out.WriteF32( static_cast<f32>( plane.distance ) );
	}
}

// Extends lo/hi on each axis by the quadratic's range over 0..1.
void GrowBox( const Segment& s, Vec& lo, Vec& hi ) {
	for ( u32 axis = 0; axis < 3; axis++ ) {
		f64 values[3] = { s.corners[0][axis], s.corners[0][axis] + s.b[axis] + s.c[axis], s.corners[0][axis] };
		u32 count = 2;
		if ( s.c[axis] != 0.0 ) {
			const f64 t = -s.b[axis] / ( 2.0 * s.c[axis] );
			if ( t > 0.0 && t < 1.0 ) {
				values[count++] = s.corners[0][axis] + s.b[axis] * t + s.c[axis] * t * t;
			}
		}
		for ( u32 i = 0; i < count; i++ ) {
			lo[axis] = std::fmin( lo[axis], values[i] );
			hi[axis] = std::fmax( hi[axis], values[i] );
		}
	}
}

bool BuildSegments( const ToolSplineInput& spline, std::vector<Segment>& segments, std::string& error ) {
	const u32 count = ToolSplineWriter::SegmentCount( spline );
	if ( count == 0 ) {
		error = "spline " + std::to_string( spline.id ) + ": its points make no whole segment";
		return false;
	}
	for ( const Vec& point : spline.points ) {
		if ( !std::isfinite( point[0] ) || !std::isfinite( point[1] ) || !std::isfinite( point[2] ) ) {
			error = "spline " + std::to_string( spline.id ) + ": a point is not finite";
			return false;
		}
	}
	f64 distance = 0.0;
	for ( u32 i = 0; i < count; i++ ) {
		Segment s;
		s.corners[0] = spline.points[2 * i];
		s.corners[1] = spline.points[2 * i + 1];
		s.corners[2] = 2 * i + 2 < spline.points.size() ? spline.points[2 * i + 2] : spline.points[0];
		s.b = Scale( Sub( s.corners[1], s.corners[0] ), 2.0 );
		s.c = Add( Sub( s.corners[0], Scale( s.corners[1], 2.0 ) ), s.corners[2] );
		s.length = ToolSplineWriter::ArcLength( s.corners[0], s.corners[1], s.corners[2], 0.0, 1.0 );
		s.distance = distance;
		distance += s.length;
		MakePlanes( s );
		segments.push_back( s );
	}
	return true;
}

} // namespace

u32 ToolSplineWriter::SegmentCount( const ToolSplineInput& spline ) {
	const size_t points = spline.points.size();
	if ( ( spline.flags & TOOL_SPLINE_FLAG_LOOP ) != 0 ) {
		return points >= 2 && points % 2 == 0 ? static_cast<u32>( points / 2 ) : 0;
	}
	return points >= 3 && points % 2 == 1 ? static_cast<u32>( points / 2 ) : 0;
}

f64 ToolSplineWriter::ArcLength( const ToolSplinePoint& q0, const ToolSplinePoint& q1, const ToolSplinePoint& q2,
								 const f64 t0, const f64 t1 ) {
	const Vec b = Scale( Sub( q1, q0 ), 2.0 );
	const Vec c = Add( Sub( q0, Scale( q1, 2.0 ) ), q2 );
	// Sixteen panels keep a cusp (zero speed) inside one panel at most.
	constexpr u32 PANELS = 16;
	const f64 scale = Length( b ) + Length( c ) + 1e-300;
	f64 total = 0.0;
	for ( u32 i = 0; i < PANELS; i++ ) {
		const f64 a0 = t0 + ( t1 - t0 ) * i / PANELS;
		const f64 a1 = t0 + ( t1 - t0 ) * ( i + 1 ) / PANELS;
		const f64 f0 = Speed( b, c, a0 );
		const f64 fm = Speed( b, c, 0.5 * ( a0 + a1 ) );
		const f64 f1 = Speed( b, c, a1 );
		const f64 whole = ( a1 - a0 ) / 6.0 * ( f0 + 4.0 * fm + f1 );
		total += Simpson( b, c, a0, a1, f0, fm, f1, whole, 1e-13 * scale, 0 );
	}
	return total;
}

bool ToolSplineWriter::WritePayload( const std::vector<ToolSplineInput>& splines, std::vector<u8>& payload,
									 std::string& error ) {
	std::vector<std::vector<Segment>> all( splines.size() );
	for ( size_t i = 0; i < splines.size(); i++ ) {
		if ( !BuildSegments( splines[i], all[i], error ) ) {
			return false;
		}
	}
	ToolBigEndianWriter block;
	u32 segmentOffset = static_cast<u32>( splines.size() ) * TOOL_SPLINE_HEADER_BYTES;
	for ( size_t i = 0; i < splines.size(); i++ ) {
		const std::vector<Segment>& segments = all[i];
		Vec lo = segments[0].corners[0];
		Vec hi = lo;
		f64 total = 0.0;
		for ( const Segment& s : segments ) {
			GrowBox( s, lo, hi );
			total += s.length;
		}
		const Vec centre = Scale( Add( lo, hi ), 0.5 );
		Vec half = Scale( Sub( hi, lo ), 0.5 );
		// Float rounding must not leave the curve outside its box.
		for ( f64& extent : half ) {
			extent = extent * ( 1.0 + 1e-5 ) + 1e-5;
		}
		block.WriteU16( splines[i].id );
		block.WriteU16( splines[i].flags );
		block.WriteZeros( 8 );
		block.WriteF32( static_cast<f32>( total ) );
		WriteVec( block, centre );
		WriteVec( block, half );
		block.WriteU32( static_cast<u32>( segments.size() ) );
		block.WriteU32( segmentOffset );
		segmentOffset += static_cast<u32>( segments.size() ) * TOOL_SPLINE_SEGMENT_BYTES;
	}
	for ( const std::vector<Segment>& segments : all ) {
		for ( const Segment& s : segments ) {
			WriteSegment( block, s );
		}
	}
	ToolBigEndianWriter out;
	out.WriteU32( static_cast<u32>( block.Size() ) );
	out.WriteU32( 0 );
	out.WriteU32( static_cast<u32>( splines.size() ) );
	out.WriteU32( 0 );
	out.WriteU32( 0 );
	out.WriteBytes( block.Bytes() );
	payload = out.Take();
	return true;
}

bool ToolSplineWriter::WriteRecord( const std::vector<ToolSplineInput>& splines, ToolResourceRecord& record,
									std::string& error ) {
	std::vector<u8> payload;
	if ( !WritePayload( splines, payload, error ) ) {
		return false;
	}
	ToolGenericRecord generic;
	generic.managerId = TOOL_SPLINE_MANAGER_ID;
	ToolBigEndianWriter out;
	ToolGenericDataWriter::WriteRecord( out, generic, payload );
	record = ToolResourceRecord();
	record.classId = TOOL_CLASS_GENERIC_DATA;
	record.object = out.Take();
	return true;
}
