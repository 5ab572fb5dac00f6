# Prepares the end-to-end folder: fresh, with the example designs, options files and the
# conversion descriptions that the flows would write. Run with -DDIR=... -DEXAMPLES=...
file(REMOVE_RECURSE ${DIR})
file(MAKE_DIRECTORY ${DIR})
file(GLOB designs ${EXAMPLES}/*.sof)
file(COPY ${designs} DESTINATION ${DIR})
file(WRITE ${DIR}/compress.opt "BITSTREAM_COMPRESSION=ON\n")
file(WRITE ${DIR}/serial.opt "BITSTREAM_COMPRESSION=ON\nMEMORY_MAP_FILE=ON\n")
file(WRITE ${DIR}/kld.cof.opt "BITSTREAM_COMPRESSION=ON\n")
file(WRITE ${DIR}/uart.cof
  "<?xml version=\"1.0\" encoding=\"US-ASCII\" standalone=\"yes\"?>\r\n<cof>\r\n"
  "        <eprom_name>CFI_256MB</eprom_name>\r\n"
  "        <output_filename>uart.rbf</output_filename>\r\n"
  "        <n_pages>1</n_pages>\r\n        <width>1</width>\r\n        <mode>8</mode>\r\n"
  "        <sof_data>\r\n                <page_flags>1</page_flags>\r\n                <bit0>\r\n"
  "                        <sof_filename>tessary5_uart.sof</sof_filename>\r\n"
  "                </bit0>\r\n        </sof_data>\r\n        <version>4</version>\r\n"
  "        <options>\r\n        </options>\r\n</cof>\r\n")
file(WRITE ${DIR}/kld.cof
  "<?xml version=\"1.0\" encoding=\"US-ASCII\" standalone=\"yes\"?>\r\n<cof>\r\n"
  "\t<eprom_name>CFI_1GB</eprom_name>\r\n\t<output_filename>kld.pof</output_filename>\r\n"
  "\t<n_pages>1</n_pages>\r\n\t<width>1</width>\r\n\t<mode>6</mode>\r\n\t<sof_data>\r\n"
  "\t\t<start_address>0x00020000</start_address>\r\n\t\t<user_name>Page_0</user_name>\r\n"
  "\t\t<page_flags>1</page_flags>\r\n\t\t<bit0>\r\n"
  "\t\t\t<sof_filename>ravelle3_blinky.sof</sof_filename>\r\n\t\t</bit0>\r\n\t</sof_data>\r\n"
  "\t<version>4</version>\r\n\t<options>\r\n\t\t<map_file>1</map_file>\r\n"
  "\t\t<option_start_address>0x00018000</option_start_address>\r\n\t</options>\r\n</cof>")
file(WRITE ${DIR}/bad.hexout ":0480000001020304EF\n:00000001FF\n")
