#include "tools/lib/movie/ToolM4vHeaderParser.h"

#include "tools/lib/movie/ToolBitReader.h"

#include <cstring>

namespace {

constexpr u32 SHAPE_RECTANGULAR			= 0;
constexpr u32 ASPECT_EXTENDED_PAR		= 15;
constexpr u32 VBV_PARAMETER_BITS		= 79;	// bit rates, buffer size and occupancy with their markers
constexpr u32 QUANTISER_BITS			= 5;	// not_8_bit is refused, so the precision is always 5
constexpr u32 WARPING_MAGNITUDE_LIMIT	= 1u << 14;

bool Fail( std::string* error, const char* message ) {
	if ( error != nullptr ) {
		*error = message;
	}
	return false;
}

// A missing marker in a header that ran out of bytes is reported as the
// truncation it is.
bool FailMarker( const ToolBitReader& reader, std::string* error, const char* message ) {
	return Fail( error, reader.Overran() ? "header is cut short" : message );
}

// Reads a marker bit; false when it is 0.
bool Marker( ToolBitReader& reader ) {
	return reader.Read( 1 ) == 1;
}

// Width of vop_time_increment: enough bits for 0 .. resolution - 1, at least 1.
u32 TimeIncrementBits( const u32 resolution ) {
	u32 bits = 1;
	while ( bits < 16 && ( 1u << bits ) < resolution ) {
		bits++;
	}
	return bits;
}

// dmv_length codes: the length value is the index.
struct LengthCode {
	u32 code;
	u32 bits;
};
constexpr LengthCode DMV_LENGTH_CODES[] = {
	{ 0x000, 2 }, { 0x002, 3 }, { 0x003, 3 }, { 0x004, 3 }, { 0x005, 3 },
	{ 0x006, 3 }, { 0x00E, 4 }, { 0x01E, 5 }, { 0x03E, 6 }, { 0x07E, 7 },
	{ 0x0FE, 8 }, { 0x1FE, 9 }, { 0x3FE, 10 }, { 0x7FE, 11 }, { 0xFFE, 12 },
};

}

bool ToolM4vHeaderParser::ParseVisualObject( const u8* data, const u64 size, u32* verid, std::string* error ) {
	ToolBitReader reader( data, size );
	*verid = 1;
	if ( reader.Read( 1 ) == 1 ) {
		*verid = reader.Read( 4 );
		reader.Skip( 3 );
	}
	const u32 type = reader.Read( 4 );
	if ( reader.Overran() ) {
		return Fail( error, "visual object header is cut short" );
	}
	if ( type != 1 ) {
		return Fail( error, "visual_object_type is not video" );
	}
	return true;
}

bool ToolM4vHeaderParser::ParseMatrix( ToolBitReader& reader, ToolM4vCodedMatrix* matrix ) {
	matrix->loaded = reader.Read( 1 ) == 1;
	matrix->count = 0;
	std::memset( matrix->values, 0, sizeof( matrix->values ) );
	if ( !matrix->loaded ) {
		return true;
	}
	while ( matrix->count < TOOL_M4V_MATRIX_SIZE ) {
		const u8 value = static_cast<u8>( reader.Read( 8 ) );
		matrix->values[matrix->count++] = value;
		if ( value == 0 ) {
			break;
		}
	}
	// A list that ends before its second value leaves nothing to repeat.
	return !( matrix->count == 1 && matrix->values[0] == 0 );
}

bool ToolM4vHeaderParser::ParseVol( const u8* data, const u64 size, const u32 defaultVerid, ToolM4vVol* vol, std::string* error ) {
	ToolBitReader reader( data, size );
	std::memset( vol, 0, sizeof( *vol ) );

	reader.Skip( 1 + 8 );	// random_accessible_vol, video_object_type_indication
	vol->verid = defaultVerid;
	if ( reader.Read( 1 ) == 1 ) {
		vol->verid = reader.Read( 4 );
		reader.Skip( 3 );
	}
	if ( reader.Read( 4 ) == ASPECT_EXTENDED_PAR ) {
		reader.Skip( 16 );
	}
	if ( reader.Read( 1 ) == 1 ) {	// vol_control_parameters
		reader.Skip( 2 + 1 );		// chroma_format, low_delay
		if ( reader.Read( 1 ) == 1 ) {
			reader.Skip( VBV_PARAMETER_BITS );
		}
	}
	if ( reader.Read( 2 ) != SHAPE_RECTANGULAR ) {
		return Fail( error, "video_object_layer_shape is not rectangular" );
	}
	if ( !Marker( reader ) ) {
		return FailMarker( reader, error, "marker bit missing before vop_time_increment_resolution" );
	}
	vol->timeResolution = reader.Read( 16 );
	if ( vol->timeResolution == 0 ) {
		return Fail( error, "vop_time_increment_resolution is 0" );
	}
	vol->timeIncrementBits = TimeIncrementBits( vol->timeResolution );
	if ( !Marker( reader ) ) {
		return FailMarker( reader, error, "marker bit missing after vop_time_increment_resolution" );
	}
	if ( reader.Read( 1 ) == 1 ) {	// fixed_vop_rate
		reader.Skip( vol->timeIncrementBits );
	}
	if ( !Marker( reader ) ) {
		return FailMarker( reader, error, "marker bit missing before video_object_layer_width" );
	}
	vol->width = reader.Read( 13 );
	if ( !Marker( reader ) ) {
		return FailMarker( reader, error, "marker bit missing before video_object_layer_height" );
	}
	vol->height = reader.Read( 13 );
	if ( !Marker( reader ) ) {
		return FailMarker( reader, error, "marker bit missing after video_object_layer_height" );
	}
	if ( vol->width == 0 || vol->height == 0 ) {
		return Fail( error, "video_object_layer_width or video_object_layer_height is 0" );
	}
	vol->interlaced = reader.Read( 1 ) == 1;
	if ( reader.Read( 1 ) == 0 ) {
		return Fail( error, "obmc_disable is 0 (overlapped motion compensation)" );
	}
	vol->sprite = reader.Read( vol->verid == 1 ? 1 : 2 );
	if ( vol->sprite == TOOL_M4V_SPRITE_STATIC ) {
		return Fail( error, "sprite_enable selects static sprites" );
	}
	if ( vol->sprite == TOOL_M4V_SPRITE_GMC ) {
		vol->warpingPoints = reader.Read( 6 );
		if ( vol->warpingPoints > TOOL_M4V_MAX_WARPING_POINTS ) {
			return Fail( error, "no_of_sprite_warping_points is above 3" );
		}
		vol->warpingAccuracy = reader.Read( 2 );
		if ( reader.Read( 1 ) == 1 ) {
			return Fail( error, "sprite_brightness_change is set" );
		}
	} else if ( vol->sprite != TOOL_M4V_SPRITE_NONE ) {
		return Fail( error, "sprite_enable has a reserved value" );
	}
	if ( reader.Read( 1 ) == 1 ) {
		return Fail( error, "not_8_bit is set" );
	}
	vol->mpegQuant = reader.Read( 1 ) == 1;
	if ( vol->mpegQuant ) {
		if ( !ParseMatrix( reader, &vol->intraMatrix ) ) {
			return Fail( error, "intra_quant_mat ends before its second value" );
		}
		if ( !ParseMatrix( reader, &vol->interMatrix ) ) {
			return Fail( error, "nonintra_quant_mat ends before its second value" );
		}
	}
	if ( vol->verid != 1 && reader.Read( 1 ) == 1 ) {
		return Fail( error, "quarter_sample is set" );
	}
	if ( reader.Read( 1 ) == 0 ) {
		return Fail( error, "complexity_estimation_disable is 0 (complexity estimation)" );
	}
	vol->resyncMarkerDisable = reader.Read( 1 ) == 1;
	if ( reader.Read( 1 ) == 1 ) {
		return Fail( error, "data_partitioned is set" );
	}
	if ( vol->verid != 1 ) {
		if ( reader.Read( 1 ) == 1 ) {
			return Fail( error, "newpred_enable is set" );
		}
		if ( reader.Read( 1 ) == 1 ) {
			return Fail( error, "reduced_resolution_vop_enable is set" );
		}
	}
	if ( reader.Read( 1 ) == 1 ) {
		return Fail( error, "scalability is set" );
	}
	if ( reader.Overran() ) {
		return Fail( error, "video object layer header is cut short" );
	}
	return true;
}

bool ToolM4vHeaderParser::ParseGov( const u8* data, const u64 size, ToolM4vGov* gov, std::string* error ) {
	ToolBitReader reader( data, size );
	const u32 hours = reader.Read( 5 );
	const u32 minutes = reader.Read( 6 );
	if ( !Marker( reader ) ) {
		return FailMarker( reader, error, "marker bit missing in the GOV time_code" );
	}
	const u32 seconds = reader.Read( 6 );
	gov->closed = reader.Read( 1 ) == 1;
	gov->brokenLink = reader.Read( 1 ) == 1;
	if ( reader.Overran() ) {
		return Fail( error, "group of VOP header is cut short" );
	}
	if ( minutes > 59 || seconds > 59 ) {
		return Fail( error, "GOV time_code minutes or seconds above 59" );
	}
	gov->seconds = hours * 3600u + minutes * 60u + seconds;
	return true;
}

bool ToolM4vHeaderParser::ReadWarpingComponent( ToolBitReader& reader, s32* value ) {
	u32 length = 0;
	while ( length < sizeof( DMV_LENGTH_CODES ) / sizeof( DMV_LENGTH_CODES[0] ) ) {
		const LengthCode& code = DMV_LENGTH_CODES[length];
		if ( reader.Peek( code.bits ) == code.code ) {
			reader.Skip( code.bits );
			break;
		}
		length++;
	}
	if ( length == sizeof( DMV_LENGTH_CODES ) / sizeof( DMV_LENGTH_CODES[0] ) ) {
		return false;
	}
	*value = 0;
	if ( length > 0 ) {
		const u32 code = reader.Read( length );
		if ( ( code >> ( length - 1 ) ) != 0 ) {
			*value = static_cast<s32>( code );
		} else {
			*value = static_cast<s32>( code ) - static_cast<s32>( ( 1u << length ) - 1u );
		}
	}
	return Marker( reader );
}

bool ToolM4vHeaderParser::ParseVop( const u8* data, const u64 size, const ToolM4vVol& vol, ToolM4vVop* vop, std::string* error ) {
	ToolBitReader reader( data, size );
	std::memset( vop, 0, sizeof( *vop ) );

	vop->codingType = reader.Read( 2 );
	if ( vop->codingType == TOOL_M4V_S && vol.sprite != TOOL_M4V_SPRITE_GMC ) {
		return Fail( error, "vop_coding_type S in a layer without GMC" );
	}
	while ( reader.Read( 1 ) == 1 ) {
		vop->moduloTimeBase++;
	}
	if ( !Marker( reader ) ) {
		return FailMarker( reader, error, "marker bit missing before vop_time_increment" );
	}
	vop->timeIncrement = reader.Read( vol.timeIncrementBits );
	if ( !Marker( reader ) ) {
		return FailMarker( reader, error, "marker bit missing after vop_time_increment" );
	}
	if ( vop->timeIncrement >= vol.timeResolution ) {
		return Fail( error, "vop_time_increment is not below vop_time_increment_resolution" );
	}
	vop->coded = reader.Read( 1 ) == 1;
	if ( !vop->coded ) {
		vop->headerBits = reader.Position();
		return reader.Overran() ? Fail( error, "video object plane header is cut short" ) : true;
	}
	if ( vop->codingType == TOOL_M4V_P || vop->codingType == TOOL_M4V_S ) {
		vop->rounding = reader.Read( 1 );
	}
	vop->intraDcThreshold = reader.Read( 3 );
	if ( vol.interlaced ) {
		vop->topFieldFirst = reader.Read( 1 ) == 1;
		vop->alternateVerticalScan = reader.Read( 1 ) == 1;
	}
	if ( vop->codingType == TOOL_M4V_S ) {
		for ( u32 i = 0; i < vol.warpingPoints; i++ ) {
			if ( !ReadWarpingComponent( reader, &vop->warpX[i] ) || !ReadWarpingComponent( reader, &vop->warpY[i] ) ) {
				return Fail( error, "sprite_trajectory holds an invalid dmv_length or a missing marker bit" );
			}
			if ( static_cast<u32>( vop->warpX[i] < 0 ? -vop->warpX[i] : vop->warpX[i] ) >= WARPING_MAGNITUDE_LIMIT ||
				 static_cast<u32>( vop->warpY[i] < 0 ? -vop->warpY[i] : vop->warpY[i] ) >= WARPING_MAGNITUDE_LIMIT ) {
				return Fail( error, "sprite_trajectory magnitude does not fit 14 bits" );
			}
		}
	}
	vop->quantiser = reader.Read( QUANTISER_BITS );
	if ( vop->quantiser == 0 ) {
		return Fail( error, "vop_quant is 0" );
	}
	if ( vop->codingType != TOOL_M4V_I ) {
		vop->forwardFCode = reader.Read( 3 );
		if ( vop->forwardFCode == 0 ) {
			return Fail( error, "vop_fcode_forward is 0" );
		}
	}
	if ( vop->codingType == TOOL_M4V_B ) {
		vop->backwardFCode = reader.Read( 3 );
		if ( vop->backwardFCode == 0 ) {
			return Fail( error, "vop_fcode_backward is 0" );
		}
	}
	if ( reader.Overran() ) {
		return Fail( error, "video object plane header is cut short" );
	}
	vop->headerBits = reader.Position();
	return true;
}

u32 ToolM4vHeaderParser::ResyncMarkerLength( const ToolM4vVop& vop ) {
	u32 fcode = 1;
	if ( vop.codingType == TOOL_M4V_P || vop.codingType == TOOL_M4V_S ) {
		fcode = vop.forwardFCode;
	} else if ( vop.codingType == TOOL_M4V_B ) {
		fcode = vop.forwardFCode > vop.backwardFCode ? vop.forwardFCode : vop.backwardFCode;
	}
	return 16u + fcode;
}

bool ToolM4vHeaderParser::HasResyncMarker( const u8* data, const u64 size, const ToolM4vVop& vop ) {
	const u32 zeros = ResyncMarkerLength( vop ) - 1u;
	// A marker follows at least one macroblock, so it starts on a byte
	// boundary strictly after the header.
	for ( u64 byte = vop.headerBits / 8u + 1u; byte < size; byte++ ) {
		ToolBitReader reader( data, size );
		reader.Skip( byte * 8u );
		if ( reader.BitsLeft() < zeros + 1u ) {
			break;
		}
		u32 zeroRun = 0;
		while ( zeroRun < zeros && reader.Read( 1 ) == 0 ) {
			zeroRun++;
		}
		// Stuffing before a marker is a 0 then ones up to the boundary, so the
		// byte before it is never 0xFF.
		if ( zeroRun == zeros && reader.Read( 1 ) == 1 && data[byte - 1] != 0xFF ) {
			return true;
		}
	}
	return false;
}
