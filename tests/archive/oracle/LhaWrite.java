// Writes files into a new .lzh archive with the given method, through jlha's Java library
// (jlha-utils' command line only writes lh5):
//   java -cp /usr/share/java/jlha.jar LhaWrite.java -lh1- output.lzh input...
import java.io.FileOutputStream;
import java.nio.file.Files;
import java.nio.file.Path;
import java.nio.file.Paths;
import jp.gr.java_conf.dangan.util.lha.LhaHeader;
import jp.gr.java_conf.dangan.util.lha.LhaOutputStream;

public class LhaWrite {
    public static void main(String[] args) throws Exception {
        try (LhaOutputStream out = new LhaOutputStream(new FileOutputStream(args[1]))) {
            for (int i = 2; i < args.length; ++i) {
                Path input = Paths.get(args[i]);
                LhaHeader header = new LhaHeader(input.getFileName().toString());
                header.setCompressMethod(args[0]);
                out.putNextEntry(header);
                out.write(Files.readAllBytes(input));
                out.closeEntry();
            }
        }
    }
}
